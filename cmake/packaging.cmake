# Installation as a Linux desktop program, and the Debian package built from it by CPack.
include(GNUInstallDirs)

if(TARGET zendrel)
  install(TARGETS zendrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES shell/zendrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ui/icons/zendrel-32bit.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
          RENAME zendrel.png)
  install(FILES ui/icons/zendrel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
if(TARGET zendrel-calc)
  install(TARGETS zendrel-calc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES cli/zendrel-calc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME zendrel)
set(CPACK_PACKAGE_VENDOR "Zendrel developers")
set(CPACK_PACKAGE_CONTACT "Zendrel developers <dev@zendrel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Exact desktop calculator for two numbers")
set(CPACK_PACKAGE_DESCRIPTION "Zendrel reads two numbers, applies + - * or / and shows the \
result, with every step fixed bit for bit: operand reading, extended-precision arithmetic and \
the thirteen-digit result text. Includes zendrel-calc, the same calculator for scripts.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY zendrel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The xcb platform plugin draws the window; the font draws its Chinese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
