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
configure_file(src/platform/web/service-worker.js.in service-worker.js @ONLY)
install(FILES $<TARGET_FILE_DIR:smearwell>/smearwell.wasm data/web/index.html src/platform/web/sdl_listeners.js
              src/platform/web/pointer.js src/platform/web/keys.js src/platform/web/page.js src/platform/web/offline.js
              data/web/manifest.webmanifest ${CMAKE_CURRENT_BINARY_DIR}/service-worker.js data/smearwell.svg
              data/smearwell-48.png LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Smearwell)
set(CPACK_PACKAGE_VENDOR "The Smearwell developers")
set(CPACK_PACKAGE_FILE_NAME smearwell-${PROJECT_VERSION}-web)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(cmake/ReproduciblePackages.cmake)
include(CPack)
