# `make package`: a Debian package of what `cmake --install` puts in place,
# its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvil)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${QUORVIL_VENDOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVIL_VENDOR} <quorvil@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The first line of the package's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorvil opens, edits, converts and exports JFile databases, the table
databases of a Palm OS handheld application kept on the desktop as Palm
database files (.PDB), in all four JFile layouts (3.x, Pro 4.x, 5.x, 5.5).

quorvil-cli does the same work from the command line.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the icons of the
# menus and tool bar where the desktop has no theme, and the SQLite plugin
# that Save as Access writes through.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tango-icon-theme, libqt6sql6-sqlite")
include(CPack)
