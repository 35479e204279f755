# What `cmake --install` puts in place and what `cpack -G DEB` packs: zl32 and
# its manual page, nothing else (the bootstrapper ships on the media, the test
# programs nowhere).
include(GNUInstallDirs)

install(TARGETS zl32 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(WIN32)
  return()
endif()

configure_file(${CMAKE_SOURCE_DIR}/tools/zl32/zl32.1.in ${CMAKE_BINARY_DIR}/man/zl32.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/man/zl32.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package (cpack -G DEB in the build folder): /usr/bin/zl32 and its
# manual page, dependencies from the libraries the program links
# (dpkg-shlibdeps).
set(TOLVAR_PACKAGE_MAINTAINER "Tolvar maintainers <tolvar@localhost>" CACHE STRING
  "Maintainer field of the Debian package")
set(CPACK_PACKAGE_NAME zl32)
set(CPACK_PACKAGE_VENDOR "VORLAK SOFTWARE")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "archive tool for the WIZARD.zl archives of setup media")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "zl32 packs a folder into the ZLib32 archive (WIZARD.zl) that the Tolvar setup\n"
  "bootstrapper unpacks from an installation medium, and lists, tests and\n"
  "extracts such archives with the bootstrapper's own archive code.")
set(CPACK_PACKAGE_CONTACT ${TOLVAR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVAR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# Debian keeps manual pages compressed, without a name or time in the gzip header.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/CompressManualPages.cmake)
include(CPack)
