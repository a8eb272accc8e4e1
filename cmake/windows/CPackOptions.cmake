# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Per-generator CPack settings: the zip unpacks into a folder of its own; NSIS has its own folder.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
