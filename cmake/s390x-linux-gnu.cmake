# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Cross-building the unit tests for s390x, a big-endian machine, to run them under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CMAKE_C_COMPILER s390x-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER s390x-linux-gnu-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)  # qemu then needs no s390x libraries at run time
include(${CMAKE_CURRENT_LIST_DIR}/CrossPrefix.cmake)
