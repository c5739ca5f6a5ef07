# Sanitizers apply to the whole build so that libraries and tests agree.
if(TAVRIK_SANITIZE AND TAVRIK_TSAN)
    message(FATAL_ERROR "TAVRIK_SANITIZE and TAVRIK_TSAN cannot be combined")
endif()
if(TAVRIK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(TAVRIK_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
if(TAVRIK_FUZZ)
    # Instrument every library for coverage so the fuzzers can steer into the code they test.
    # Undefined behaviour is a crash, also inside the libraries.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
