# What the Audio Unit path adds to a render: the effect driven through the unit
# against its float path driven directly.
add_executable(au_bench au_bench.cpp)
target_link_libraries(au_bench PRIVATE vantrose_cli benchmark::benchmark)
