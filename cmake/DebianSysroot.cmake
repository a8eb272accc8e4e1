# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Shared by the ARM toolchain files: the program is built with Debian's cross compiler (its own C
# library and C++ headers), against the SDL 1.2 and the libraries of a Debian system of the target
# architecture unpacked in SMEARWELL_SYSROOT (a cache or environment variable; ./scripts/arm makes
# it), and run under qemu-user with that folder as its root. GoogleTest, built for the target,
# comes from SMEARWELL_CROSS_PREFIX, as for the other cross builds. Set SMEARWELL_TRIPLET and
# SMEARWELL_QEMU before including this.
if(NOT SMEARWELL_SYSROOT)
  set(SMEARWELL_SYSROOT "$ENV{SMEARWELL_SYSROOT}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SMEARWELL_SYSROOT)
set(SMEARWELL_CROSS_ROOTS /usr/${SMEARWELL_TRIPLET} ${SMEARWELL_SYSROOT})
include(${CMAKE_CURRENT_LIST_DIR}/CrossPrefix.cmake)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${SMEARWELL_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${SMEARWELL_TRIPLET}-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SMEARWELL_QEMU} -L ${SMEARWELL_SYSROOT})
# SDL through the target system's pkg-config files, its paths taken inside the unpacked system.
set(ENV{PKG_CONFIG_LIBDIR}
    "${SMEARWELL_SYSROOT}/usr/lib/${SMEARWELL_TRIPLET}/pkgconfig:${SMEARWELL_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${SMEARWELL_SYSROOT}")
# The libraries SDL itself links against are found there too when linking.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,-rpath-link,${SMEARWELL_SYSROOT}/usr/lib/${SMEARWELL_TRIPLET}:${SMEARWELL_SYSROOT}/lib/${SMEARWELL_TRIPLET}")
# No run path into the unpacked system: under qemu-user the program finds its libraries there
# anyway (-L), and the packaged program would keep that folder's name, which differs from one
# build to another, among its strings.
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
