# Version information in a Windows program: the project's version, the
# program's name and what it is, compiled in by windres.
function(vorskal_windows_version target description)
    set(VORSKAL_PROGRAM ${target})
    set(VORSKAL_DESCRIPTION ${description})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
