# cmake -DGZIP=... -DSOURCE=file -DTARGET=file.gz -P gzip_file.cmake
# -n: no name or time stamp in the archive, so the package is reproducible.
execute_process(COMMAND ${GZIP} -9nc ${SOURCE} OUTPUT_FILE ${TARGET} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${SOURCE}")
endif()
