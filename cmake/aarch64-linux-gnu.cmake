# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Cross-building Smearwell for 64-bit ARM (Debian arm64: Raspberry Pi 3, 4 and 5 and other boards).
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(SMEARWELL_TRIPLET aarch64-linux-gnu)
set(SMEARWELL_QEMU qemu-aarch64)
set(SMEARWELL_DEBIAN_ARCH arm64)
include(${CMAKE_CURRENT_LIST_DIR}/DebianSysroot.cmake)
