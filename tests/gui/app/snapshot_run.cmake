# zarnmon --simulate --snapshot DIR: the program starts on the built-in
# simulator, runs, saves its windows as pictures and ends by itself.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${PROGRAM} --simulate --settings ${DIR}/zarnmon.ini --snapshot ${DIR} --seconds 3
                RESULT_VARIABLE rc TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zarnmon --snapshot exited with ${rc}")
endif()
if(NOT EXISTS ${DIR}/ZarnMon.png)
    message(FATAL_ERROR "no ZarnMon.png in ${DIR}")
endif()
file(READ ${DIR}/zarnmon.ini profile)
if(NOT profile MATCHES "\\[OpenWindows\\]")
    message(FATAL_ERROR "the profile does not remember the open windows:\n${profile}")
endif()
