# The Debian package: `cpack -G DEB` (or plain `cpack`) in the build folder
# makes vorskal_<version>_amd64.deb from what `cmake --install` installs, with
# the programs stripped and the dependencies found by dpkg-shlibdeps.
set(VORSKAL_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/packaging)

# Debian wants the copyright and a compressed changelog beside the documentation.
install(FILES ${VORSKAL_PACKAGE_DIR}/copyright DESTINATION ${VORSKAL_DOC_DIR})
if(GZIP_PROGRAM)
    set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
        COMMAND ${CMAKE_COMMAND} -DGZIP=${GZIP_PROGRAM} -DSOURCE=${VORSKAL_PACKAGE_DIR}/changelog
            -DTARGET=${changelog} -P ${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake
        DEPENDS ${VORSKAL_PACKAGE_DIR}/changelog ${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake
        COMMENT "Package changelog"
        VERBATIM)
    add_custom_target(vorskal_changelog ALL DEPENDS ${changelog})
    install(FILES ${changelog} DESTINATION ${VORSKAL_DOC_DIR})
endif()

# One line of the long description per program of this build.
set(programs "")
if(TARGET vorskal)
    string(APPEND programs " - vorskal: the window;\n")
endif()
string(APPEND programs " - vorskal-tally: the same tally for scripts and servers;\n")
if(TARGET vorskal-league)
    string(APPEND programs " - vorskal-league: a season's standings in one league file;\n")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorskal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The VORSKAL developers")
set(CPACK_PACKAGE_CONTACT "The VORSKAL developers <vorskal@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "score tally for a First World War flight-simulation league")
set(CPACK_PACKAGE_DESCRIPTION
    "VORSKAL scores one game of a multiplayer First World War flight-simulation game
for the ZORL league. In the game server's directory it merges the server's
numbered event logs, reads them, applies the league's point values and appends
a report of seven sections to vorskal.log: kills, deaths, ground targets,
corrections of the server's known reporting faults, and each side's total.
.
The programs:
${programs}with their manual pages, the user guide and a sample game.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
