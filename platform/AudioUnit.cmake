# The Audio Unit, audio-component, Component Manager and Core Foundation stand-ins:
# target platform_au.  Included from au/CMakeLists.txt so that it does not depend
# on the other platform stand-ins.
add_library(platform_au
  ${CMAKE_CURRENT_LIST_DIR}/AUEvents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioComponent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoreFoundation.cpp
)
target_include_directories(platform_au PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(platform_au PUBLIC Threads::Threads)
