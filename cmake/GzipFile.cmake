# Compresses one file the way Debian wants its manual pages: gzip -9, with
# no name or time stamp inside, so that the result depends on the bytes only.
#   cmake -DGZIP=/bin/gzip -DINPUT=in -DOUTPUT=out.gz -P GzipFile.cmake
execute_process(COMMAND "${GZIP}" -9 -n -c "${INPUT}"
  OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "gzip ${INPUT} failed: ${status}")
endif()
