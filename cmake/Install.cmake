# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Installation (freedesktop layout through GNUInstallDirs) and the Debian package, built to the
# rules a distribution checks with lintian: copyright and changelog in the documentation folder, a
# compressed manual page, a stripped binary with its debugging symbols in a -dbgsym package.
include(GNUInstallDirs)
include(cmake/ReleaseDate.cmake)
set(_app_id org.smearwell.Smearwell)  # the desktop entry's and the AppStream component's id
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/smearwell)

# The manual page carries the version; it is installed compressed, as distributions want it.
release_date("%B %Y" SMEARWELL_RELEASE_MONTH)
configure_file(data/smearwell.1.in smearwell.1 @ONLY)
# The Debian changelog of this native package.
release_date("%a, %d %b %Y %H:%M:%S +0000" SMEARWELL_CHANGELOG_DATE)  # RFC 5322, as Debian wants
configure_file(cmake/changelog.in changelog @ONLY)
find_program(GZIP gzip REQUIRED)
foreach(_file smearwell.1 changelog)
  add_custom_command(OUTPUT ${_file}.gz
    COMMAND ${GZIP} -9nkf ${_file}  # -n: no name or time stamp inside, so builds are reproducible
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${_file} COMMENT "Compressing ${_file}")
endforeach()
add_custom_target(smearwell_docs ALL DEPENDS smearwell.1.gz changelog.gz)

install(TARGETS smearwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/smearwell.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/smearwell-48.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
        RENAME smearwell.png)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/smearwell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME smearwell)
set(CPACK_PACKAGE_VENDOR "The Smearwell developers")
# No real contact address yet, so lintian's bogus-mail-host stays until the project has one.
set(CPACK_PACKAGE_CONTACT "The Smearwell developers <smearwell@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small paint program with a round brush")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Smearwell opens one window of 800x600 pixels on a black canvas. A round
purple brush follows the mouse in place of the pointer, and holding the left
mouse button paints continuous strokes along the path of the mouse.

Releasing I inverts the whole canvas; releasing C runs a fixed 3x3
convolution over it and prints one column of the result. Escape or closing
the window quits. Nothing is saved.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dependencies computed by dpkg-shlibdeps, not written by hand
if(CMAKE_CROSSCOMPILING AND SMEARWELL_DEBIAN_ARCH)
  # For another architecture (the ARM toolchain files set it): dpkg-shlibdeps finds the libraries in
  # the unpacked target system, and its package database (DPKG_ADMINDIR, which ./scripts/arm sets)
  # tells which packages hold them.
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${SMEARWELL_DEBIAN_ARCH})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
      ${SMEARWELL_SYSROOT}/usr/lib/${SMEARWELL_TRIPLET} ${SMEARWELL_SYSROOT}/lib/${SMEARWELL_TRIPLET})
endif()
# Strips the binary; its debugging symbols go to smearwell-dbgsym (a .ddeb). Needs a build with -g.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
# The source release (cpack --config CPackSourceConfig.cmake): the tree as it builds and tests,
# without version control, build folders or editor leftovers.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME smearwell-${PROJECT_VERSION})
# The patterns match whole paths: those naming folders are anchored at the tree, so that a tree
# inside a folder called build is packed all the same.
string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" _tree "${PROJECT_SOURCE_DIR}")
set(CPACK_SOURCE_IGNORE_FILES "^${_tree}/[.]git/" "^${_tree}/[.]git$" "^${_tree}/build[^/]*/" "~$" "[.]swp$" "/__pycache__/"
                              "^${_tree}/[.]cache/")
include(cmake/ReproduciblePackages.cmake)
include(CPack)
