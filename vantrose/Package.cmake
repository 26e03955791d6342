# The Debian package: cmake --build build --target package makes vantrose_<version>_<arch>.deb
# with the LV2 bundle (plug-in, UI, artwork) in /usr/lib/lv2 and the command-line tool in
# /usr/bin.  Runtime dependencies come from dpkg-shlibdeps, plus the font the editor's
# text needs.  Included from the top-level CMakeLists.txt, after every install rule.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrose)
set(CPACK_PACKAGE_VENDOR Kelvorin)
set(CPACK_PACKAGE_CONTACT "Kelvorin")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "four-band analogue-modelled equaliser (LV2 plug-in and command-line tool)")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kelvorin.com/vantrose")
include(CPack)
