# cmake -DIN=FILE -DOUT=FILE.gz -P Gzip.cmake
# Compresses the way Debian wants manual pages and changelogs: best
# compression, no name or time stored, so the same text gives the same bytes.
execute_process(COMMAND gzip -9 -n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "gzip ${IN} failed: ${rc}")
endif()
