# The AppKit, Foundation and Core Graphics stand-in of the editor's view glue:
# target platform_appkit.  Included from gui/CMakeLists.txt.
add_library(platform_appkit ${CMAKE_CURRENT_LIST_DIR}/AppKit.cpp)
target_include_directories(platform_appkit PUBLIC ${CMAKE_CURRENT_LIST_DIR})
