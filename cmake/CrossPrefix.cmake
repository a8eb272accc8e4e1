# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Shared by the toolchain files: libraries, headers and CMake packages come from the folder that
# SMEARWELL_CROSS_PREFIX (a cache or environment variable) names, where SDL 1.2 and GoogleTest were
# built for the target machine, and from the extra folders given in SMEARWELL_CROSS_ROOTS; programs
# come from this machine.
if(NOT SMEARWELL_CROSS_PREFIX)
  set(SMEARWELL_CROSS_PREFIX "$ENV{SMEARWELL_CROSS_PREFIX}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SMEARWELL_CROSS_PREFIX)
set(CMAKE_FIND_ROOT_PATH "${SMEARWELL_CROSS_PREFIX}" ${SMEARWELL_CROSS_ROOTS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${SMEARWELL_CROSS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
