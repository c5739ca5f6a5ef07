tavrik_add_fuzzer(fuzz_macro_events SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/macro_events_fuzz.cpp
                  LIBS tavrik::macro)
