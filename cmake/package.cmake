# Installing the program the way a Debian user expects it, and the .deb
# package CPack builds from that installation:
#   bin/rampsight, bin/rampsight-cli
#   share/rampsight/                 the manual and the indicator pictures
#   share/applications/rampsight.desktop
#   share/icons/hicolor/scalable/apps/rampsight.svg
#   share/doc/rampsight/README.md
# The program finds share/rampsight from its own folder (platform/paths.h).
include(GNUInstallDirs)
# Installing and packaging take what is built: the package test must not
# build every test and benchmark first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS rampsight rampsight-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
  assets/RS05Manual.rtf assets/SmallSmiley.jpg assets/SmallCaution.jpg
  assets/face02.ico assets/msgbox03.ico
  DESTINATION ${CMAKE_INSTALL_DATADIR}/rampsight)
install(FILES assets/rampsight.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES assets/rampsight.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rampsight)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rampsight)
set(CPACK_PACKAGE_VENDOR "Rampsight")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Water-ski jump measurement from video")
set(CPACK_PACKAGE_DESCRIPTION
  "The program tournament officials use to measure water-ski jumps from video:\
 capture the jump, step to the frame of first contact, click the impact point\
 and get the distance through a surveyed grid, with results and exchange files\
 for the scoring program, and rampsight-cli for audits and automation.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Rampsight developers <rampsight@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries' packages (Qt, FFmpeg) are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)

if(RS_BUILD_TESTS)
  # Builds the package into a folder of the build tree and checks its files.
  add_test(NAME package_contents
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
      -DOUT_DIR=${CMAKE_BINARY_DIR}/package-test -P ${CMAKE_SOURCE_DIR}/cmake/check_package.cmake)
  set_tests_properties(package_contents PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
