# The layers, checked by the build: rs_layer_check links every object of
# the logic libraries, platform core and core (whole archives) with nothing
# else, so an upward dependency (a logic file calling into Qt, FFmpeg, the
# platform services or a screen) fails to link.
set(rs_lower_layers rs_demo_logic rs_measure_logic rs_grid_logic rs_video_logic rs_app_logic rs_platform_core
  rs_core)
add_executable(rs_layer_check ${CMAKE_SOURCE_DIR}/cmake/layer_check.cpp)
add_dependencies(rs_layer_check ${rs_lower_layers})
set(rs_lower_archives)
foreach(lib ${rs_lower_layers})
  list(APPEND rs_lower_archives $<TARGET_FILE:${lib}>)
endforeach()
find_package(Threads REQUIRED)
target_link_libraries(rs_layer_check PRIVATE
  -Wl,--whole-archive ${rs_lower_archives} -Wl,--no-whole-archive Threads::Threads)
