# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Fails when the version set in CMakeLists.txt has no entry of its own in CHANGELOG.md and in the
# AppStream release list, both with the release date.
# Run as: cmake -DVERSION=... -DDATE=... -DSOURCE_DIR=... -P check_release.cmake
file(READ "${SOURCE_DIR}/CHANGELOG.md" changelog)
string(FIND "${changelog}" "## [${VERSION}] - ${DATE}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## [${VERSION}] - ${DATE}\"")
endif()
file(READ "${SOURCE_DIR}/data/org.smearwell.Smearwell.metainfo.xml" metainfo)
string(FIND "${metainfo}" "<release version=\"${VERSION}\" date=\"${DATE}\"" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the AppStream metadata lists no release ${VERSION} of ${DATE}")
endif()
message(STATUS "release ${VERSION} of ${DATE}: in the changelog and the metadata")
