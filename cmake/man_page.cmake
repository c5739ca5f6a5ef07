# tavrik_man_page(<name>.<section>.in): the man page with the build's version and release date
# filled in (configure_file), compressed as Debian wants it (gzip -9n: no name, no time stamp),
# built with the default target and installed to share/man/man<section>.
function(tavrik_man_page source)
    get_filename_component(page ${source} NAME)
    string(REGEX REPLACE "\\.in$" "" page ${page})
    string(REGEX MATCH "[^.]+$" section ${page})
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${page})
    configure_file(${source} ${out} @ONLY)
    add_custom_command(OUTPUT ${out}.gz
        COMMAND gzip -9nkf ${out}
        DEPENDS ${out}
        COMMENT "Compressing the man page ${page}"
        VERBATIM)
    string(REPLACE "." "_" target tavrik_man_${page})
    add_custom_target(${target} ALL DEPENDS ${out}.gz)
    install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
