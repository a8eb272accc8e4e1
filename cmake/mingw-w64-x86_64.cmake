# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Cross-building Smearwell for 64-bit Windows with Debian's MinGW-w64 (posix threads variant).
# SMEARWELL_CROSS_PREFIX (a cache or environment variable) names the folder holding SDL 1.2.15 and
# GoogleTest built for Windows. Programs built here run under Wine, which tests use as emulator.
if(NOT SMEARWELL_CROSS_PREFIX)
  set(SMEARWELL_CROSS_PREFIX "$ENV{SMEARWELL_CROSS_PREFIX}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SMEARWELL_CROSS_PREFIX)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all "WINEPATH=${SMEARWELL_CROSS_PREFIX}/bin" wine)

# The C and C++ runtimes, winpthread included, linked in: SDL.dll is the only DLL shipped.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic")

set(CMAKE_FIND_ROOT_PATH "${SMEARWELL_CROSS_PREFIX}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${SMEARWELL_CROSS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
