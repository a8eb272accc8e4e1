# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Artifacts that depend only on the source, the way Debian keeps its own packages reproducible:
# nothing built records where it was built (the packages: cmake/ReproduciblePackages.cmake).
include(CheckCXXCompilerFlag)

# Where the tree and the build folder lie: the debugging information (and with it the build ID of
# the stripped program) names them "." and "build" wherever they are. The build folder is mapped
# last, as it may lie inside the tree and the compiler takes the last map that fits.
check_cxx_compiler_flag(-ffile-prefix-map=/a=b SMEARWELL_HAVE_FILE_PREFIX_MAP)
if(SMEARWELL_HAVE_FILE_PREFIX_MAP)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()

# When: the Windows linker stamps every program and DLL with the time it was made, unless told not to.
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()
