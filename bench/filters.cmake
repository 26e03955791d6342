# Per-sample cost of the band, pass and biquad filters.
add_executable(filters_bench filters_bench.cpp)
target_link_libraries(filters_bench PRIVATE dsp benchmark::benchmark)
