# PNG bytes from outside through the memory loader.
vantrose_add_fuzzer(png SOURCES ${CMAKE_CURRENT_LIST_DIR}/png_fuzz.cpp LIBS raster_png z)
