# Runs one fuzz target for SECONDS seconds on a fresh copy of its seed corpus.
# Usage: cmake -DFUZZER=<program> -DCORPUS=<seed folder> -DWORK=<scratch folder>
#              -DSECONDS=<n> -P RunFuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(EXISTS ${CORPUS})
  file(GLOB seeds ${CORPUS}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${WORK})
  endif()
endif()
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -print_final_stats=1 ${WORK}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (exit code ${rc})")
endif()
