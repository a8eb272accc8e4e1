# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Installs into a fresh folder and checks that every file a desktop user needs is in its place.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
    bin/smearwell
    share/applications/org.smearwell.Smearwell.desktop
    share/metainfo/org.smearwell.Smearwell.metainfo.xml
    share/doc/smearwell/copyright
    share/doc/smearwell/changelog.gz
    share/icons/hicolor/scalable/apps/smearwell.svg
    share/icons/hicolor/48x48/apps/smearwell.png
    share/man/man1/smearwell.1.gz)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
execute_process(COMMAND file "${PREFIX}/share/icons/hicolor/48x48/apps/smearwell.png" OUTPUT_VARIABLE kind)
if(NOT kind MATCHES "PNG image data, 48 x 48")
  message(FATAL_ERROR "the 48x48 icon is not a 48x48 PNG: ${kind}")
endif()
message(STATUS "installed: all files in place")
