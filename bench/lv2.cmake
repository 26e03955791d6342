# The block-based LV2 bench host (the shared LV2 host, libsndfile): realtime factors of LV2 plug-ins
# on a file held in memory, pink noise for them, and bit-exact file comparison.
pkg_check_modules(BENCH_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
add_executable(vantrose_lv2_host lv2_host_main.cpp)
target_link_libraries(vantrose_lv2_host PRIVATE lv2host PkgConfig::BENCH_SNDFILE)
set_target_properties(vantrose_lv2_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
