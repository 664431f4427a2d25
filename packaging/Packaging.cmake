# Installation and the Debian package.
#
# The program finds its shipped scripts in its program directory, which is $FILOMAR_HOME or
# else the directory of the executable with symbolic links resolved. So the program and the
# scripts go together into lib/filomar-convert, and bin/filomar-convert is a link to it. The
# windows program, which filomar-convert hands a run that shows windows, sits beside it.
set(program_dir lib/filomar-convert)
install(TARGETS filomar-convert filomar-convert-windows DESTINATION ${program_dir})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/dist/ DESTINATION ${program_dir})
install(TARGETS filomar-site DESTINATION bin)
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(CREATE_LINK ../${program_dir}/filomar-convert \"\${bin}/filomar-convert\" SYMBOLIC)
")
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/filomar-convert.1 ${CMAKE_SOURCE_DIR}/docs/man/filomar-site.1
        DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/filomar-convert.desktop DESTINATION share/applications)

set(CPACK_PACKAGE_NAME filomar-convert)
# The version is kept in one place, the header the programs print it from.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/common/Version.h version_line REGEX "kVersion = ")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" CPACK_PACKAGE_VERSION "${version_line}")
set(CPACK_PACKAGE_CONTACT "Filomar administration <filomar@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Filomar 4.0 to 5.0 database conversion utility")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libodbc2, unixodbc, libsqlite3-0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, tdsodbc")
# The package ships optimised, stripped programs; their debug symbols go to a package of their
# own (filomar-convert-dbgsym), which the build keeps because it compiles with -g.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
include(CPack)

# Builds the package, unpacks it into a temporary root and converts a demo site with the
# unpacked programs.
add_test(NAME debian_package
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(debian_package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
