# Builds the .deb with CPack into OUT_DIR and checks its file list and its
# control fields. cmake -DBUILD_DIR=... -DOUT_DIR=... -P check_package.cmake
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})
execute_process(
  COMMAND cpack -G DEB -B ${OUT_DIR} --config ${BUILD_DIR}/CPackConfig.cmake
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB debs ${OUT_DIR}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${OUT_DIR}, found: ${debs}")
endif()
execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed on ${debs}")
endif()
set(expected
  ./usr/bin/rampsight
  ./usr/bin/rampsight-cli
  ./usr/share/rampsight/RS05Manual.rtf
  ./usr/share/rampsight/SmallSmiley.jpg
  ./usr/share/rampsight/SmallCaution.jpg
  ./usr/share/rampsight/face02.ico
  ./usr/share/rampsight/msgbox03.ico
  ./usr/share/applications/rampsight.desktop
  ./usr/share/icons/hicolor/scalable/apps/rampsight.svg
  ./usr/share/doc/rampsight/README.md)
set(missing "")
foreach(path ${expected})
  string(FIND "${listing}" " ${path}\n" at)
  if(at EQUAL -1)
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "missing from the package: ${missing}\n${listing}")
endif()
# Nothing of the tests, benchmarks or headers.
if(listing MATCHES "tests_|bench|/include/|\\.a\n")
  message(FATAL_ERROR "the package holds files of the build:\n${listing}")
endif()
execute_process(COMMAND dpkg-deb -f ${debs} Package Depends OUTPUT_VARIABLE fields)
if(NOT fields MATCHES "Package: rampsight" OR NOT fields MATCHES "libqt6widgets6"
   OR NOT fields MATCHES "libavformat")
  message(FATAL_ERROR "control fields of ${debs}:\n${fields}")
endif()
message(STATUS "package ${debs} holds every file:\n${listing}")
