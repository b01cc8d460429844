# A Debian package of the program: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vtq)
set(CPACK_PACKAGE_VENDOR "VTQ developers")
set(CPACK_PACKAGE_CONTACT "VTQ developers <vtq@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Common-mode filter choke designer")
set(CPACK_PACKAGE_DESCRIPTION
    "Designs common-mode filter chokes, two windings on one ferrite toroid: picks the core from a\n"
    "24-core catalogue and works out turns, wire gauge, resistance, temperature rise and wound size.\n"
    "Includes the design window (vtq) and a command line (vtq-cli).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vtq)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Library dependencies (the Qt runtime among them) are read off the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The CUPS library is opened when printing (to see whether a queue takes jobs), not
# linked, so the binaries do not name it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, cups-client, libcups2 | libcups2t64")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
