# Warnings for every target of the project: tavrik_set_warnings(<target>).
function(tavrik_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor
                                             -Woverloaded-virtual)
    if(TAVRIK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
