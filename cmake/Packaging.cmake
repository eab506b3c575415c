# The Debian package of the installed tree (scripts/package makes it into dist/).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vynwebbrowser)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "vynSoft")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small web browser that keeps itself up to date")
# CPack writes the summary as the synopsis and indents these lines; an empty one becomes " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "vynWebBrowser is a small desktop web browser with a French user interface.\nIts about box checks for a newer release, and its update wizard shows\nwhat is new, downloads the chosen components and restarts the browser.\n\nThe vynupdate command checks, fetches and applies the same updates\nfrom scripts and servers.")
set(CPACK_PACKAGE_CONTACT "vynSoft packaging <packages@vynsoft.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "vynSoft packaging <packages@vynsoft.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vynsoft.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window icon is drawn from SVG, which Qt reads through a plugin no library links to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_SOURCE_DIR}/dist)
include(CPack)
