# The loaders of state, presets, program and bank files and preset blobs, fed
# arbitrary bytes through a small test plug-in.
foreach(name state fxprogram fxbank presetblob)
  vantrose_add_fuzzer(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}_fuzz.cpp LIBS plug)
  target_include_directories(${name}_fuzz PRIVATE ${CMAKE_CURRENT_LIST_DIR}
                                                  ${PROJECT_SOURCE_DIR}/tests/plug)
endforeach()
