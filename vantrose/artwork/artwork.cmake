# The artwork generator and the target that redraws resources/img/ (and its 1.5x/ and
# 2x/) with it:
# ninja artwork.  Included from vantrose/CMakeLists.txt.
add_executable(vantrose_artwork
  ${CMAKE_CURRENT_LIST_DIR}/make_artwork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Canvas.cpp
)
target_link_libraries(vantrose_artwork PRIVATE vantrose_params raster_png)
add_custom_target(artwork
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_SOURCE_DIR}/resources/img
  COMMAND vantrose_artwork ${PROJECT_SOURCE_DIR}/resources/img
  DEPENDS vantrose_artwork
  COMMENT "Drawing the editor artwork into resources/img")
