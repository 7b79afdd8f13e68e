# Where an installed program lives, and the Debian package made from it.
#
#   <prefix>/lib/mikroteilchen/       the program and its four files, side by side as in
#                                     the build tree: it reads them from its own folder
#   <prefix>/bin/mikroteilchen        a relative symlink to it; the program's folder comes
#                                     from /proc/self/exe, which resolves the link
#   <prefix>/share/applications/      the menu entry
#   <prefix>/share/icons/hicolor/     the icon in every size there is
#   <prefix>/share/metainfo/          the software-centre description
#   <prefix>/share/doc/mikroteilchen/ the licence terms, as every Debian package has them
#
# app/CMakeLists.txt installs the program and its files into MT_INSTALL_PROGRAMDIR.

include(GNUInstallDirs)

# Not CMAKE_INSTALL_LIBDIR: Debian puts a program's private folder in /usr/lib/<package>,
# never under the multiarch path.
set(MT_INSTALL_PROGRAMDIR lib/mikroteilchen)
set(MT_APP_ID org.example.mikroteilchen_statistik)

install(CODE "
    set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bindir}\")
    file(CREATE_LINK ../${MT_INSTALL_PROGRAMDIR}/mikroteilchen \"\${bindir}/mikroteilchen\" SYMBOLIC)
    message(STATUS \"Installing: \${bindir}/mikroteilchen -> ../${MT_INSTALL_PROGRAMDIR}/mikroteilchen\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${bindir}/mikroteilchen\")
")

install(FILES ${CMAKE_CURRENT_LIST_DIR}/${MT_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${MT_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icon/mikroteilchen.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/icon/hicolor/
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
    FILES_MATCHING PATTERN "*.png")
# Named after the package, not the project: Debian looks for /usr/share/doc/<package>/copyright.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mikroteilchen)

include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
