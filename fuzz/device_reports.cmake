tavrik_add_fuzzer(fuzz_device_reports SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/device_reports_fuzz.cpp
                  LIBS tavrik::sim)
