# The Debian package (cpack -G DEB; scripts/package.sh builds it). It holds
# exactly what `cmake --install` puts under the prefix.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kx700)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "kx700 developers <kx700@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for the KX700 Gaming Mouse")
# Kept to lines that fit an 80-column terminal, as Debian asks.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "kx700 sets what the mouse's seven buttons do, four CPI levels, lighting,"
  "report rate, rapid fire, pointer and scroll speed, and macros recorded from"
  "the keyboard or edited event by event, in three named profiles, and writes"
  "them into the mouse's memory. The window sits in the tray and speaks English"
  "or Chinese; kx700ctl does the same from a terminal."
  ""
  "A built-in simulated mouse lets everything be tried without the hardware."
  "A udev rule gives the user logged in at the seat access to the mouse.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its display plugins at run time, so no library check sees them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The fonts the window's labels are drawn in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/postinst
                                       ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
