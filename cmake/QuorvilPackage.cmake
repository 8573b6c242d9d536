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
# Control files with the modes dpkg expects (0644, scripts 0755).
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Fully stripped programs, compressed manual pages and changelog, the
# machine-readable copyright file, put in place by cpack before the .deb is
# made.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/QuorvilDebStage.cmake)
set(CPACK_QUORVIL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_QUORVIL_RELEASE_DATE ${QUORVIL_RELEASE_DATE})
set(CPACK_QUORVIL_STRIP ${CMAKE_STRIP})
include(CPack)
