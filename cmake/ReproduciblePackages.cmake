# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# The packages and the source tarball record neither when nor with which umask they were built.
# Included before CPack; SMEARWELL_CPACK_OPTIONS, if set, names a file of per-generator settings.
include(cmake/ReleaseDate.cmake)

# When: every time inside the packages and the source tarball is the release date's midnight (UTC),
# unless SOURCE_DATE_EPOCH says otherwise. The release date, not the last commit: it is the same in
# a git checkout and in the tarball, which has no history, so both build the same packages.
release_date("%s" SMEARWELL_RELEASE_EPOCH)
set(_source_date_file ${PROJECT_BINARY_DIR}/CPackSourceDate.cmake)
# A zip records its times as local times: they are UTC's wherever the packages are made.
file(WRITE ${_source_date_file} "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${SMEARWELL_RELEASE_EPOCH})
endif()
set(ENV{TZ} UTC)
")
if(SMEARWELL_CPACK_OPTIONS)
  file(APPEND ${_source_date_file} "include(${SMEARWELL_CPACK_OPTIONS})\n")
endif()
set(CPACK_PROJECT_CONFIG_FILE ${_source_date_file})

# With which umask: folders in the packages get the modes a distribution gives them.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

# Where: the -dbgsym package's md5sums name the files inside it, not CPack's staging folder.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DbgsymMd5sums.cmake)
