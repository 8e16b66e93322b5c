# The Debian package, built with `cpack -G DEB` in the build folder. It is
# reproducible: the files carry the source date (cmake/SourceDate.cmake),
# the binaries hold no build paths (cmake/Flags.cmake), and the archive's
# order and metadata are fixed, so two builds of one commit are the same
# bytes wherever and whenever they are made.
set(doc ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${doc})
install_gzipped(changelog ${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/changelog.gz ${doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hexsuite)
set(CPACK_PACKAGE_CONTACT "The hexsuite developers <maintainers@hexsuite.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small command-line programs that work with hex text")
set(CPACK_PACKAGE_DESCRIPTION "Nine programs that print, screen and decode bytes as hex text:
hexscreen, linescreen, hexcycle, hexecho, bytewalk, quadhex, hexnum, trickle
and splitcopy.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A cross build's package is for the architecture it was built for, by
# Debian's name for it.
if(CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${HEXSUITE_ARCH})
endif()
# cpack runs apart from configure: the source date reaches it through the
# project's CPack configuration.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
# The release tarball of a static build (`cpack -G TGZ`) unpacks to bin/
# and share/ under one folder, ready to copy into an image; the musl build's
# is named as static Linux releases are, by processor and C library.
if(HEXSUITE_LIBC STREQUAL "musl")
  set(archive_name ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${HEXSUITE_MUSL_TRIPLE})
elseif(HEXSUITE_STATIC)
  set(archive_name ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-static-${CMAKE_SYSTEM_PROCESSOR})
else()
  set(archive_name ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})
endif()
# HEXSUITE_DEB_DEPENDS in cpack's environment is a Depends computed for it
# (packaging/release.sh computes a cross build's against the libc6 of its
# architecture, which dpkg on this machine need not know).
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "\
set(ENV{SOURCE_DATE_EPOCH} ${HEXSUITE_SOURCE_DATE_EPOCH})
if(DEFINED ENV{HEXSUITE_DEB_DEPENDS})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS \"\$ENV{HEXSUITE_DEB_DEPENDS}\")
endif()
if(CPACK_GENERATOR STREQUAL \"TGZ\")
  set(CPACK_PACKAGING_INSTALL_PREFIX \"\")
  set(CPACK_PACKAGE_FILE_NAME ${archive_name})
endif()
")
include(CPack)
