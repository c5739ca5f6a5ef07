tavrik_add_fuzzer(fuzz_key_map_dialog
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/key_map_dialog_fuzz.cpp
    LIBS tavrik::keyassign)
