# Installation and the Debian package. `cmake --install <build> [--prefix <dir>]` puts the program,
# its demonstration-database tool, the desktop launcher, the icon in the hicolor theme and the
# AppStream metainfo in their standard places; `cpack -G DEB` (run in the build folder) makes
# zuzevevur-creator_<version>_<arch>.deb of the same files under /usr.
include(GNUInstallDirs)

set(ZZ_APP_ID org.zuzevevur.Creator)
# The date of this version, shown by software centres beside the version number.
set(ZZ_RELEASE_DATE 2026-12-09)

install(TARGETS Zuzevevur RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS $<TARGET_FILE:demo_db> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME zuzevevur-demo-db)
install(PROGRAMS $<TARGET_FILE:zzbook> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME zuzevevur-book)

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${ZZ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/program_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ZZ_APP_ID}.png)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/${ZZ_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${ZZ_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${ZZ_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zuzevevur-creator)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zuzevevur-creator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zuzevevur Creator developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "invoicing for a small business")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Zuzevevur Creator developers <developers@zuzevevur.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zuzevevur Creator keeps customers, a price list, the company's details\nand logo and one VAT rate, and writes invoices with priced, discounted\nlines under automatic numbers. It prints them, saves them as PDF or sends\nthem by e-mail, marks them paid or cancelled, ages the unpaid ones in\n30-day classes, and prints a revenue report and customer statements.\nThe books are a SQLite database, backed up every day.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links come from dpkg-shlibdeps; what it loads at run time is named here:
# Qt's SQLite driver, Liberation Sans, which the printed documents are measured with, and the sRGB
# profile of colord-data, which e-invoice PDFs embed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-liberation2, colord-data")
# Sending by e-mail (xdg-email), the fallback font for Chinese, Japanese and Korean text, and the
# windows' 8-point face (Wine's MS Sans Serif; without it they fall back to Liberation Sans).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-droid-fallback, fonts-wine")
include(CPack)
