# Installation and the Debian package.
#
# The installed layout is PREFIX/bin/{tavrel,tavrel-editor} with the data
# files in PREFIX/share/tavrel/, where the program looks when they are not
# beside it. The desktop entry and the icon go where desktops find them.
set(TAVREL_INSTALL_DATA_DIR share/tavrel)

install(TARGETS tavrel RUNTIME DESTINATION bin)
if(TARGET tavrel-editor)
  install(TARGETS tavrel-editor RUNTIME DESTINATION bin)
  install(FILES ${CMAKE_SOURCE_DIR}/data/tavrel-editor.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/tavrel-editor.svg DESTINATION share/icons/hicolor/scalable/apps)
endif()
# All are made by the tavrel_data target beside the binaries; the patcher's
# notes lie with the data files, where the patcher looks for them.
install(FILES ${TAVREL_BIN_DIR}/kdefattr.dat ${TAVREL_BIN_DIR}/kdefattr-en.txt ${TAVREL_BIN_DIR}/mb.dat
              ${TAVREL_BIN_DIR}/z_modify.txt ${TAVREL_BIN_DIR}/z_modify-en.txt DESTINATION ${TAVREL_INSTALL_DATA_DIR})

set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VENDOR "Tavrel developers")
set(CPACK_PACKAGE_CONTACT "Tavrel developers <tavrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the data files of a classic DOS Chinese role-playing game")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the event scripts, dialogue, battles and program data of the game, shows every\n instruction as readable Chinese text and writes the files back so the game runs them.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY tavrel)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; what is loaded at run time
# and not linked is named here: the Qt platform plugins (xcb, offscreen) and a
# font that holds the Chinese characters.
# libspng is linked (so also found by dpkg-shlibdeps) and named for the tool's PNG pictures.
# OpenCC's library is linked; its dictionaries (libopencc-data) are read at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libspng0, libopencc-data")
if(TARGET tavrel-editor)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libspng0, libopencc-data, qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk | fonts-wqy-microhei | fonts-arphic-uming")
endif()

include(CPack)
