# The hardening flags Debian builds its packages with (dpkg-buildflags, every hardening feature
# on: fortified libc calls, stack protector, read-only relocations bound at start-up), for the
# whole tree, so that the Debian package made from it is built as Debian would build it.
# Optimisation and debug flags stay those of the build type. Off in sanitizer and fuzz trees:
# _FORTIFY_SOURCE wants optimisation, and the sanitizers do their own checking.
set(tavrik_hardening_default ON)
if(TAVRIK_SANITIZE OR TAVRIK_TSAN OR TAVRIK_FUZZ)
    set(tavrik_hardening_default OFF)
endif()
option(TAVRIK_HARDENING "Compile and link with the hardening flags of dpkg-buildflags"
       ${tavrik_hardening_default})
if(NOT TAVRIK_HARDENING)
    return()
endif()

find_program(TAVRIK_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT TAVRIK_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "TAVRIK_HARDENING needs dpkg-buildflags (package dpkg-dev), "
                        "or configure with -DTAVRIK_HARDENING=OFF")
endif()

# tavrik_buildflags(<out> <CPPFLAGS|CXXFLAGS|LDFLAGS>): the flags as a list, without -g, -O and
# the prefix maps (which name the folder cmake happens to run in).
function(tavrik_buildflags out kind)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${TAVRIK_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*|f(file|debug|macro)-prefix-map=.*)$")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

tavrik_buildflags(tavrik_cppflags CPPFLAGS)
tavrik_buildflags(tavrik_cxxflags CXXFLAGS)
tavrik_buildflags(tavrik_ldflags LDFLAGS)
add_compile_options(${tavrik_cppflags} ${tavrik_cxxflags})
add_link_options(${tavrik_ldflags})
message(STATUS "Hardening: ${tavrik_cppflags} ${tavrik_cxxflags} ${tavrik_ldflags}")
