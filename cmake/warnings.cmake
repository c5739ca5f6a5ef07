# Warnings for every target of the project: tavrik_set_warnings(<target>).
# -Wswitch-enum: a switch over an enum names every value, a default does not stand in for them,
# so a new value is met by the compiler at each switch that must decide about it.
function(tavrik_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor
                                             -Woverloaded-virtual -Wswitch-enum)
    # GCC 12 gives false -Wrestrict warnings in inlined std::string code at -O3 (GCC bug 105329).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
    endif()
    if(TAVRIK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# Clang checks the thread-safety annotations of core/common/thread_annotations.h: a member
# guarded by a mutex touched without it, or a function that needs a mutex called without it.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_compile_options(-Wthread-safety)
endif()
