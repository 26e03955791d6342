# Raster library speed: blits, filmstrip frames, captions and a whole panel redraw.
add_executable(raster_bench ${CMAKE_CURRENT_LIST_DIR}/raster_bench.cpp)
target_link_libraries(raster_bench PRIVATE raster benchmark::benchmark)
