# A Debian package of the installed game: from the build directory,
#   cpack -G DEB
# writes karsk_<version>_<arch>.deb, installing under /usr. Its dependencies
# come from the libraries the executable links (dpkg-shlibdeps, from dpkg-dev).
set(KARSK_PACKAGE_MAINTAINER "Karsk developers <karsk-dev@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME karsk)
set(CPACK_PACKAGE_VENDOR "Karsk developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down tile-based action-adventure game")
# One line of the package's long description per line here.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Walk a hero across a world of fixed screens, fight with the sword,\n"
  "arrows, bombs and a boomerang, take stairs down into dungeon rooms and\n"
  "open locked doors with keys. Two players can play together over a local\n"
  "network.")
set(CPACK_PACKAGE_CONTACT "${KARSK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps its debugging symbols; the package does not.
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_NAME karsk)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KARSK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
