# The profile's training run: the bench, then perft at the console.
execute_process(COMMAND ${BENCH} WORKING_DIRECTORY ${WORKDIR} OUTPUT_QUIET RESULT_VARIABLE bench_status)
execute_process(COMMAND ${MAVO} INPUT_FILE ${INPUT} WORKING_DIRECTORY ${WORKDIR} OUTPUT_QUIET RESULT_VARIABLE mavo_status)
if(NOT bench_status EQUAL 0 OR NOT mavo_status EQUAL 0)
  message(FATAL_ERROR "profile training failed (bench: ${bench_status}, mavo: ${mavo_status})")
endif()
