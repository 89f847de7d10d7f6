# The Debian package: `cpack -G DEB` in the build folder (or the `package` target) makes
# zarn_<version>_<arch>.deb, installing to /usr. The libraries come from dpkg-shlibdeps;
# what it cannot see is named here. The MIME, desktop and icon caches are refreshed by the
# triggers of shared-mime-info, desktop-file-utils and the icon themes, so the package has
# no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "zarn maintainers <maintainers@users.noreply.c-seed-8e231f42.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program for electrical-installation testers")
set(CPACK_PACKAGE_DESCRIPTION
    "zarn receives the stored results of hand-held electrical-installation testers
over an RS-232 line (usually a USB-serial adapter), shows them as a tree of
measuring places, keeps them in structure files (*.zrn), prints reports with a
heading and comments, saves them as PDF and exports delimited text.

zarnctl does the same from a terminal; zarn-sim is a simulated instrument on a
pseudo-terminal for trying the program without one.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Reports ask for Arial and Courier New: Liberation has fonts of the same widths. Links in
# the user guide that leave it open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_ZARN_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStage.cmake)
include(CPack)
