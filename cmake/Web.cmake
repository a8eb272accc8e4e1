# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# The web page: smearwell.js and smearwell.wasm, linked by emcc, the page that runs them
# (data/web/index.html, its scripts in src/platform/web/) and its icon (the program's), and what makes it an app that starts offline
# and installs: its manifest, the icons, and the service worker, whose cache is named by the
# version. `cmake --install` puts them in one folder with the licence, which any static web host
# serves as it is; CPack makes smearwell-VERSION-web.zip of them.
target_link_options(smearwell PRIVATE
  -sENVIRONMENT=web          # a page, never node or a worker
  -sALLOW_MEMORY_GROWTH=1
  -sEXIT_RUNTIME=1           # the end of the program reaches the page (Module.onExit)
  -sDYNAMIC_EXECUTION=0)     # no eval: the page's Content-Security-Policy allows none
install(TARGETS smearwell RUNTIME DESTINATION .)
set(_page_files index.html=${CMAKE_SOURCE_DIR}/data/web/index.html
               manifest.webmanifest=${CMAKE_SOURCE_DIR}/data/web/manifest.webmanifest
               smearwell.svg=${CMAKE_SOURCE_DIR}/data/smearwell.svg
               smearwell-48.png=${CMAKE_SOURCE_DIR}/data/smearwell-48.png
               smearwell.js=$<TARGET_FILE:smearwell>
               smearwell.wasm=$<TARGET_FILE_DIR:smearwell>/smearwell.wasm)
set(_page_scripts sdl_listeners.js pointer.js keys.js page.js offline.js)
foreach(script IN LISTS _page_scripts)
  list(APPEND _page_files ${script}=${CMAKE_SOURCE_DIR}/src/platform/web/${script})
endforeach()
list(TRANSFORM _page_scripts PREPEND src/platform/web/)
# The service worker knows each file of its release by its SHA-256, written in once they are all built.
add_custom_command(OUTPUT service-worker.js
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_SOURCE_DIR}/src/platform/web/service-worker.js.in
          -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/service-worker.js -DVERSION=${PROJECT_VERSION}
          "-DFILES=${_page_files}" -P ${CMAKE_SOURCE_DIR}/cmake/ServiceWorker.cmake
  DEPENDS smearwell src/platform/web/service-worker.js.in cmake/ServiceWorker.cmake data/web/index.html
          data/web/manifest.webmanifest data/smearwell.svg data/smearwell-48.png ${_page_scripts}
  VERBATIM)
add_custom_target(service_worker ALL DEPENDS service-worker.js)
install(FILES $<TARGET_FILE_DIR:smearwell>/smearwell.wasm data/web/index.html ${_page_scripts}
              data/web/manifest.webmanifest ${CMAKE_CURRENT_BINARY_DIR}/service-worker.js data/smearwell.svg
              data/smearwell-48.png LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Smearwell)
set(CPACK_PACKAGE_VENDOR "The Smearwell developers")
set(CPACK_PACKAGE_FILE_NAME smearwell-${PROJECT_VERSION}-web)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(cmake/ReproduciblePackages.cmake)
include(CPack)
