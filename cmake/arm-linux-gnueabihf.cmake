# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Cross-building Smearwell for 32-bit ARM with hardware floating point (Debian armhf: ARMv7 boards,
# and 32-bit Raspberry Pi OS on the Raspberry Pi 2 and later).
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(SMEARWELL_TRIPLET arm-linux-gnueabihf)
set(SMEARWELL_QEMU qemu-arm)
set(SMEARWELL_DEBIAN_ARCH armhf)
include(${CMAKE_CURRENT_LIST_DIR}/DebianSysroot.cmake)
