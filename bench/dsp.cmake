# The whole effect per block: the fast render path against the plain chain.
add_executable(dsp_bench dsp_bench.cpp)
target_link_libraries(dsp_bench PRIVATE vantrose_au benchmark::benchmark)
