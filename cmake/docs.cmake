# Manual pages and documentation. Each page is written once in scdoc
# (docs/man/NAME.1.scd) and turned into roff by the build; a page is made and
# installed only for a program that this build makes.
find_program(SCDOC_PROGRAM scdoc)
find_program(GZIP_PROGRAM gzip)

set(VORSKAL_PROGRAMS "")
foreach(program vorskal vorskal-tally vorskal-league)
    if(TARGET ${program})
        list(APPEND VORSKAL_PROGRAMS ${program})
    endif()
endforeach()

if(SCDOC_PROGRAM AND GZIP_PROGRAM)
    set(man_outputs "")
    foreach(page ${VORSKAL_PROGRAMS})
        set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.1.scd)
        set(roff ${PROJECT_BINARY_DIR}/man/${page}.1)
        add_custom_command(OUTPUT ${roff} ${roff}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
            COMMAND ${CMAKE_COMMAND} -DSCDOC=${SCDOC_PROGRAM} -DGZIP=${GZIP_PROGRAM}
                -DSOURCE=${source} -DROFF=${roff} -P ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
            DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
            COMMENT "Manual page ${page}(1)"
            VERBATIM)
        list(APPEND man_outputs ${roff} ${roff}.gz)
        install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
    add_custom_target(vorskal_man_pages ALL DEPENDS ${man_outputs})
else()
    message(STATUS "scdoc or gzip not found: no manual pages (scripts/setup.sh installs scdoc)")
endif()

# Documentation and the sample game, under /usr/share/doc/vorskal/.
set(VORSKAL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vorskal)
file(GLOB vorskal_docs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md
    ${PROJECT_SOURCE_DIR}/docs/*.json)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/ARCHITECTURE.md ${vorskal_docs}
    DESTINATION ${VORSKAL_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/sample-game DESTINATION ${VORSKAL_DOC_DIR})
