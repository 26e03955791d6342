# The whole effect per block: the fast render path against the plain chain.
add_executable(dsp_bench dsp_bench.cpp)
target_link_libraries(dsp_bench PRIVATE dsp benchmark::benchmark)

# The render's stages per vector path, against the plain chain, in one run.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  add_executable(stage_bench stage_bench.cpp)
  target_link_libraries(stage_bench PRIVATE dsp)
endif()

# Recomputing the editor's response curve from the controls, against one chain block.
add_executable(calibration_bench calibration_bench.cpp)
target_link_libraries(calibration_bench PRIVATE dsp benchmark::benchmark)
