# Installation (freedesktop layout through GNUInstallDirs) and the Debian package.
include(GNUInstallDirs)
install(TARGETS smearwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/smearwell.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/smearwell.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/smearwell-48.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
        RENAME smearwell.png)
install(FILES data/smearwell.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME smearwell)
set(CPACK_PACKAGE_VENDOR "The Smearwell developers")
set(CPACK_PACKAGE_CONTACT "The Smearwell developers <smearwell@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small paint program with a round brush")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # dependencies computed by dpkg-shlibdeps, not written by hand
include(CPack)
