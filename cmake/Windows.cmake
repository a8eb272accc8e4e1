# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# The Windows program and its packages: the icon and version information in smearwell.exe, and,
# with CPack, a zip and a per-user NSIS installer holding smearwell.exe, SDL.dll, the README as text
# and the licences of Smearwell and of SDL 1.2 (LGPL-2.1).
pkg_get_variable(SDL_PREFIX sdl prefix)
find_file(SDL_DLL SDL.dll PATHS "${SDL_PREFIX}/bin" NO_DEFAULT_PATH REQUIRED)
find_file(SDL_LICENSE COPYING PATHS "${SDL_PREFIX}/share/licenses/SDL" NO_DEFAULT_PATH REQUIRED)

# The linker orders the tables of imported DLLs by the path of each import library: SDL's, named by
# where SDL was built, would come before or after Windows' own depending on where that is. A copy in
# the build folder, which the link names by a relative path, comes in the same place wherever.
find_file(SDL_IMPORT_LIBRARY libSDL.dll.a PATHS "${SDL_PREFIX}/lib" NO_DEFAULT_PATH REQUIRED)
file(COPY ${SDL_IMPORT_LIBRARY} DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/sdl)
set_target_properties(PkgConfig::SDL PROPERTIES INTERFACE_LINK_LIBRARIES ${CMAKE_CURRENT_BINARY_DIR}/sdl/libSDL.dll.a)

# SDLmain supplies the process entry, WinMain: it sends standard output and standard error to
# stdout.txt and stderr.txt beside the program, calls our main (which SDL's flags rename SDL_main)
# and exits with its status.
target_link_directories(smearwell PRIVATE ${SDL_LIBRARY_DIRS})
target_link_libraries(smearwell PRIVATE mingw32 SDLmain)
# Beside the program in the build folder too, so that it runs from there.
add_custom_command(TARGET smearwell POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different ${SDL_DLL}
                   $<TARGET_FILE_DIR:smearwell>)

# The icon, made from the project's SVG at the sizes Windows asks for.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)
set(SMEARWELL_ICO ${CMAKE_CURRENT_BINARY_DIR}/smearwell.ico)
set(_icon_pngs)
foreach(_size 16 24 32 48 64 256)
  set(_png ${CMAKE_CURRENT_BINARY_DIR}/icon-${_size}.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${RSVG_CONVERT} -w ${_size} -h ${_size} -o ${_png} ${PROJECT_SOURCE_DIR}/data/smearwell.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/data/smearwell.svg)
  list(APPEND _icon_pngs ${_png})
endforeach()
add_custom_command(OUTPUT ${SMEARWELL_ICO} COMMAND ${ICOTOOL} -c -o ${SMEARWELL_ICO} ${_icon_pngs}
                   DEPENDS ${_icon_pngs})
configure_file(cmake/windows/smearwell.rc.in smearwell.rc @ONLY)
target_sources(smearwell PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/smearwell.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/smearwell.rc PROPERTIES OBJECT_DEPENDS ${SMEARWELL_ICO})

configure_file(README.md README.txt COPYONLY)
configure_file(LICENSE LICENSE.txt COPYONLY)
configure_file(cmake/windows/SDL-NOTICE.txt.in SDL-NOTICE.txt @ONLY)
install(TARGETS smearwell RUNTIME DESTINATION .)
install(FILES ${SDL_DLL} ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
              ${CMAKE_CURRENT_BINARY_DIR}/SDL-NOTICE.txt DESTINATION .)
install(FILES ${SDL_LICENSE} DESTINATION . RENAME SDL-COPYING.txt)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME Smearwell)
set(CPACK_PACKAGE_VENDOR "The Smearwell developers")
set(CPACK_PACKAGE_FILE_NAME smearwell-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
set(CPACK_NSIS_MUI_ICON ${SMEARWELL_ICO})
set(CPACK_NSIS_MUI_UNIICON ${SMEARWELL_ICO})
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/windows)  # our NSIS.template.in: a per-user install
set(SMEARWELL_CPACK_OPTIONS ${PROJECT_SOURCE_DIR}/cmake/windows/CPackOptions.cmake)
include(cmake/ReproduciblePackages.cmake)
include(CPack)
