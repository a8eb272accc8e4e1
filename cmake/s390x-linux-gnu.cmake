# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Cross-building the unit tests for s390x, a big-endian machine, to run them under qemu-user.
# SMEARWELL_CROSS_PREFIX (a cache or environment variable) names the folder holding SDL 1.2 and
# GoogleTest built for s390x.
if(NOT SMEARWELL_CROSS_PREFIX)
  set(SMEARWELL_CROSS_PREFIX "$ENV{SMEARWELL_CROSS_PREFIX}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SMEARWELL_CROSS_PREFIX)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_C_COMPILER s390x-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER s390x-linux-gnu-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)  # qemu then needs no s390x libraries at run time

set(CMAKE_FIND_ROOT_PATH "${SMEARWELL_CROSS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${SMEARWELL_CROSS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
