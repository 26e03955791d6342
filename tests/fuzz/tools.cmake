# The command line's reader of saved unit states, built from its own sources so that
# the fuzzer needs only the Core Foundation stand-in.
vantrose_add_fuzzer(statefile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/statefile_fuzz.cpp ${PROJECT_SOURCE_DIR}/tools/StateFile.cpp
          ${PROJECT_SOURCE_DIR}/tools/OutputPath.cpp
  LIBS platform_au)
target_include_directories(statefile_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tools)
