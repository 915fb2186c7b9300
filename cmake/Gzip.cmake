# cmake -DINPUT=file -DOUTPUT=file.gz -P Gzip.cmake: gzip -9n, the form Debian
# wants for manual pages and changelogs (no name or time stamp in the header,
# so the same input always gives the same bytes).
execute_process(COMMAND gzip -9n -c ${INPUT} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip -9n ${INPUT} failed")
endif()
