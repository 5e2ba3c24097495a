# The layers that stand without Qt and FFmpeg, and the tests that need
# neither: built by the mingw-w64 cross compiler and run under wine
# (scripts/test_windows), to prove file layouts, line ends, paths and file
# replacement on Windows' rules. Included from CMakeLists.txt with
# RS_PORTABLE=ON; the layers are the same libraries as in the full build.
add_library(rs_core STATIC)
add_library(rs_platform_core STATIC ${rs_platform_core_sources})
file(GLOB rs_core_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/core/*.cpp)
target_sources(rs_core PRIVATE ${rs_core_sources})
target_link_libraries(rs_platform_core PUBLIC rs_core)

set(rs_portable_logic)
# A folder with no logic files yet still makes its (empty) library.
file(WRITE ${CMAKE_BINARY_DIR}/rs_no_sources.cpp "")
foreach(folder app grid video measure demo)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER srcs EXCLUDE REGEX "_(screen|widget|view)\\.cpp$")
  list(FILTER srcs EXCLUDE REGEX "/app/(main|app)\\.cpp$|/demo/demo_course_files\\.cpp$")
  add_library(rs_${folder}_logic STATIC ${srcs} ${CMAKE_BINARY_DIR}/rs_no_sources.cpp)
  list(APPEND rs_portable_logic rs_${folder}_logic)
endforeach()
target_link_libraries(rs_app_logic PUBLIC rs_platform_core rs_core)
target_link_libraries(rs_grid_logic PUBLIC rs_app_logic)
target_link_libraries(rs_video_logic PUBLIC rs_app_logic)
target_link_libraries(rs_measure_logic PUBLIC rs_grid_logic rs_video_logic rs_app_logic)
target_link_libraries(rs_demo_logic PUBLIC rs_platform_core rs_core)
foreach(lib rs_core rs_platform_core ${rs_portable_logic})
  target_include_directories(${lib} PUBLIC ${CMAKE_SOURCE_DIR})
endforeach()

include(${CMAKE_SOURCE_DIR}/cmake/layer_check.cmake)

if(RS_BUILD_TESTS)
  enable_testing()
  # GoogleTest from its sources (Debian's /usr/src/googletest), built by
  # the same compiler as the code under test.
  set(RS_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${RS_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  # Every test file that includes no Qt header, no screen or widget, no
  # platform file outside platform core (Qt and FFmpeg services) and no
  # command-line tool.
  file(GLOB rs_platform_all RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/platform/*.cpp)
  list(REMOVE_ITEM rs_platform_all ${rs_platform_core_sources})
  list(TRANSFORM rs_platform_all REPLACE "^platform/(.*)\\.cpp$" "\\1")
  list(JOIN rs_platform_all "|" rs_platform_services_names)
  file(GLOB_RECURSE rs_portable_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
  set(rs_not_portable
    "#include [<\"](Q[A-Za-z]+>|platform/(${rs_platform_services_names})\\.h|[^\">]*(_screen|_widget|_view|ffmpeg_[a-z_]*|test_app|test_videos|cli/[a-z_]*)\\.h\")")
  foreach(test ${rs_portable_tests})
    file(READ ${test} text)
    if(text MATCHES "${rs_not_portable}")
      list(REMOVE_ITEM rs_portable_tests ${test})
    endif()
  endforeach()
  add_executable(tests_portable ${rs_portable_tests}
    ${CMAKE_SOURCE_DIR}/tests/portable/test_main.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/scripted_dialogs.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/temp_dir.cpp)
  target_include_directories(tests_portable PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(tests_portable PRIVATE RS_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(tests_portable PRIVATE ${rs_portable_logic} rs_platform_core rs_core
    gtest gmock)
  if(WIN32)
    # One file to copy beside wine: no DLLs of the compiler to find.
    target_link_options(tests_portable PRIVATE -static)
  endif()
  add_test(NAME tests_portable COMMAND tests_portable)
endif()
