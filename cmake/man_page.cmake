# Turns one scdoc source into a roff manual page and its gzip copy.
# cmake -DSCDOC=... -DGZIP=... -DSOURCE=page.1.scd -DROFF=page.1 -P man_page.cmake
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${ROFF} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "scdoc failed on ${SOURCE}")
endif()
set(SOURCE ${ROFF})
set(TARGET ${ROFF}.gz)
include(${CMAKE_CURRENT_LIST_DIR}/gzip_file.cmake)
