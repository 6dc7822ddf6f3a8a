# Runs COMMAND with the |-separated ARGS and fails unless its standard output
# matches GOLDEN byte for byte (kept in OUTPUT for a diff). With REGENERATE
# the output becomes the new GOLDEN instead.
string(REPLACE "|" ";" args "${ARGS}")
if(REGENERATE)
    set(OUTPUT ${GOLDEN})
endif()
execute_process(COMMAND ${COMMAND} ${args} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${COMMAND} ${args} exited with ${rc}")
endif()
if(NOT REGENERATE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${GOLDEN} RESULT_VARIABLE differ)
    if(differ)
        message(FATAL_ERROR "${OUTPUT} differs from ${GOLDEN}; diff them to see how")
    endif()
endif()
