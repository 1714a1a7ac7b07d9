# The headless runner's .exe on the sample game, as an administrator runs it:
# started in a copy of the game's folder, through the emulator (Wine) when
# there is one. It must say "Tally Complete" and its summary line, exit 0 and append the report
# that the Linux build gives, byte for byte but for its time and date line.
#
#   cmake -DEXE=... -DSOURCE=... -DWORK=... -DGOLDEN=... -DVERSION=... [-DARGS=...]
#         [-DEMULATOR=...] -P sample_game_exe.cmake
foreach(required EXE SOURCE WORK GOLDEN VERSION)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "${required} is not given")
    endif()
endforeach()
separate_arguments(args UNIX_COMMAND "${ARGS}")

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB game ${SOURCE}/examples/sample-game/*)
file(COPY ${game} DESTINATION ${WORK})

execute_process(COMMAND ${EMULATOR} ${EXE} ${args}
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
# "Tally Complete", then the one summary line of the totals.
string(REGEX MATCH "^Tally Complete\r?\nAllied [^\r\n]*; report appended to vorskal.log" summary "${out}")
if(NOT status EQUAL 0 OR summary STREQUAL "")
    message(FATAL_ERROR "exit ${status}, output \"${out}\", errors \"${err}\"")
endif()

# The time and date are the clock's, in the system's format: masked.
set(time_line "Current time is [^\r\n]*    Current date is [^\r\n]*")
set(masked "Current time is <TIME>    Current date is <DATE>")
file(READ ${WORK}/vorskal.log report)
file(READ ${SOURCE}/${GOLDEN} expected)
string(REPLACE "<VERSION>" "${VERSION}" expected "${expected}")  # the golden's placeholder
string(REGEX REPLACE "${time_line}" "${masked}" report "${report}")
if(NOT report STREQUAL expected)
    file(WRITE ${WORK}/vorskal.log.masked "${report}")
    message(FATAL_ERROR "the report differs from ${GOLDEN}; masked: ${WORK}/vorskal.log.masked")
endif()
