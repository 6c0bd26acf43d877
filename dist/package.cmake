# The Debian package: cmake --build build --target package makes
# zorvane_<version>_amd64.deb in the build folder. Library dependencies come
# from dpkg-shlibdeps; the rest are what the program loads at run time: the
# SQLite driver and platform plugins of Qt, Qt's own translations and a font
# with Chinese characters.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VENDOR "Zorvane developers")
set(CPACK_PACKAGE_CONTACT "Zorvane developers <feedback@zorvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "office data toolkit: batch file work, name lists and SQL")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvane gathers the small data chores of an office behind one window with a
Chinese user interface: batch renaming, copying and moving of files,
comparison of name lists with a register of the outcome, and a library of SQL
statements with a catalogue of business tables.

The command zorv runs the file batch steps from a shell, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.zorvane.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-microhei")
# A shared database server is reached through Qt's ODBC driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-odbc")
include(CPack)
