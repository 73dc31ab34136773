# Replays a target's seeds and past findings, then fuzzes for a fixed number of runs from a fixed
# seed. New inputs go to a scratch folder emptied first, so every run starts from the same corpus.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(corpus ${WORK} ${SEEDS})
if(EXISTS ${REGRESSIONS})
  list(APPEND corpus ${REGRESSIONS})
endif()
execute_process(COMMAND ${FUZZER} -seed=1 -runs=${RUNS} -max_len=4096 -dict=${DICTIONARY}
                        -artifact_prefix=${WORK}/ -print_final_stats=1 ${corpus}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the failing input is in ${WORK}")
endif()
