# The Audio Unit's saved-state restore, fed dictionaries built from arbitrary bytes.
vantrose_add_fuzzer(au_state SOURCES ${CMAKE_CURRENT_LIST_DIR}/au_state_fuzz.cpp LIBS vantrose_au)
