# Editor draw passes of the effect's panel: a whole panel and one knob.
add_executable(gui_bench ${CMAKE_CURRENT_LIST_DIR}/gui_bench.cpp)
target_link_libraries(gui_bench PRIVATE vantrose_au benchmark::benchmark)
target_compile_definitions(gui_bench PRIVATE VANTROSE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
