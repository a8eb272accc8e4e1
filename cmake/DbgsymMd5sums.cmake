# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Run by CPack once the packages are made (CPACK_POST_BUILD_SCRIPTS). CMake 3.25 writes the
# -dbgsym package's md5sums with the absolute path of CPack's staging folder in place of the path
# inside the package: wrong for dpkg and debsums, and it ties the package to where it was built.
# The package is unpacked, its md5sums given the paths inside it, and packed again with dpkg-deb,
# which takes its times from SOURCE_DATE_EPOCH, as CPack did.
foreach(_package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT _package MATCHES "[.]ddeb$")
    continue()
  endif()
  set(_tree ${_package}.tree)
  file(REMOVE_RECURSE ${_tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${_package} ${_tree} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${_tree}/DEBIAN/md5sums _sums)
  string(REGEX REPLACE "  /[^\n]*/_CPack_Packages/[^/\n]+/DEB/[^/\n]+/" "  " _sums "${_sums}")
  file(WRITE ${_tree}/DEBIAN/md5sums "${_sums}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build ${_tree} ${_package} OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${_tree})
endforeach()
