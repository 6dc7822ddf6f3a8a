# zarnmon with a mistake on its command line and no display: exit status 2.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                        ${PROGRAM} -frobnicate RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET TIMEOUT 30)
if(NOT rc EQUAL 2)
    message(FATAL_ERROR "zarnmon -frobnicate exited with ${rc}, not 2")
endif()
