# A Debian package of the program: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vtq)
set(CPACK_PACKAGE_VENDOR "VTQ developers")
set(CPACK_PACKAGE_CONTACT "VTQ developers <vtq@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Common-mode filter choke designer")
# One string: a CMake list would join its lines with ";".
set(CPACK_PACKAGE_DESCRIPTION
    "Designs common-mode filter chokes, two windings on one ferrite toroid:\n\
picks the core from a 24-core catalogue and works out turns, wire gauge,\n\
resistance, temperature rise and wound size.\n\
Includes the design window (vtq) and a command line (vtq-cli).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vtq)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The debugging information stays in the build folder.
set(CPACK_STRIP_FILES ON)
# Library dependencies (the Qt runtime among them) are read off the binaries. The window's
# font is loaded by name, not linked, so the binaries do not name its package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# The CUPS library is opened when printing (to see whether a queue takes jobs), not
# linked, so the binaries do not name it either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, cups-client, libcups2 | libcups2t64")
# Our own maintainer scripts refresh the desktop's databases. Without them CPack would
# write ldconfig calls for the PDF module, which lies under lib but is no library the
# loader's cache should know (lintian: maintscript-calls-ldconfig).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
