# The Debian package: brindle-pack in /usr/bin, the installer stub and the
# uninstaller in /usr/share/brindle/ (where brindle-pack looks for them when
# installed), the robot for authors' tests beside them with its Python module
# (which finds it there), the README with the documents of docs/ and the man
# page. The version is the project's.
include(GNUInstallDirs)
install(TARGETS brindle-pack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${BRINDLE_BIN_DIR}/brindle-setup.exe" "${BRINDLE_BIN_DIR}/brindle-uninstall.exe"
              "${BRINDLE_BIN_DIR}/brindle-robot.exe"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/brindle)
# Debian's own place for modules of every Python 3 version.
install(FILES "${CMAKE_SOURCE_DIR}/tests/e2e/robot/brindle_robot.py" DESTINATION lib/python3/dist-packages)
install(FILES "${CMAKE_SOURCE_DIR}/README.md" "${CMAKE_SOURCE_DIR}/docs/authoring.md"
              "${CMAKE_SOURCE_DIR}/docs/architecture.md" "${CMAKE_SOURCE_DIR}/docs/measurements.md"
              "${CMAKE_SOURCE_DIR}/docs/uninstaller.md"
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian keeps man pages compressed, without a time stamp in the gzip header.
set(man_page "${CMAKE_CURRENT_BINARY_DIR}/brindle-pack.1.gz")
add_custom_command(OUTPUT "${man_page}"
  COMMAND gzip -9n < "${CMAKE_SOURCE_DIR}/docs/man/brindle-pack.1" > "${man_page}"
  DEPENDS "${CMAKE_SOURCE_DIR}/docs/man/brindle-pack.1" VERBATIM)
add_custom_target(man_page ALL DEPENDS "${man_page}")
install(FILES "${man_page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindle)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Brindle developers <brindle@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small installers for Windows applications")
set(CPACK_PACKAGE_DESCRIPTION "brindle-pack checks an install project and builds a small\n\
Windows installer from it: a 32-bit program with a five-page wizard that\n\
carries the application, registers an uninstaller and makes shortcuts.\n\
It also lists, extracts, verifies and signs installer packages, and ships\n\
a robot that drives an installer under Wine for the author's own tests.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "osslsigncode, wine, python3")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_SOURCE_DIR}/build/package")
include(CPack)
