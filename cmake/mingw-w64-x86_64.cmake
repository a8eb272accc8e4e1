# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Cross-building Smearwell for 64-bit Windows with Debian's MinGW-w64 (posix threads variant).
# Programs built here run under Wine, which the tests use as emulator.
set(SMEARWELL_CROSS_ROOTS /usr/x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/CrossPrefix.cmake)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# Wine's own messages follow WINEDEBUG as the caller sets it (the test script keeps them off, and
# turns the error channel on to show why a test failed).
set(CMAKE_CROSSCOMPILING_EMULATOR env "WINEPATH=${SMEARWELL_CROSS_PREFIX}/bin" wine)

# The C and C++ runtimes, winpthread included, linked in: SDL.dll is the only DLL shipped. SDL
# itself is linked through its import library, named by its full path, which -static leaves alone.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
