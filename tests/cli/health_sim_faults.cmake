# zarnmon-sim writes a recording whose only faults are damaged frames (a
# wrong checksum, a reversed trailer) and reports on standard error how many
# it damaged; zarnmon-cli health of that recording must count exactly as many
# failed checks, all of them on binary messages, and drop nothing.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
set(recording ${DIR}/faults.zbin)
execute_process(COMMAND ${SIM} --out ${recording} --seconds 120 --enable all --bad-checksum 0.01
                        --reversed-trailer 0.01
                RESULT_VARIABLE rc ERROR_VARIABLE report TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zarnmon-sim exited with ${rc}:\n${report}")
endif()
if(NOT report MATCHES "bad checksums ([0-9]+), reversed trailers ([0-9]+)")
    message(FATAL_ERROR "zarnmon-sim reported no fault counts:\n${report}")
endif()
math(EXPR injected "${CMAKE_MATCH_1} + ${CMAKE_MATCH_2}")
if(injected EQUAL 0)
    message(FATAL_ERROR "zarnmon-sim damaged no frame; the test proves nothing:\n${report}")
endif()

execute_process(COMMAND ${CLI} health ${recording} RESULT_VARIABLE rc OUTPUT_VARIABLE table ERROR_VARIABLE errors
                TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zarnmon-cli health exited with ${rc}:\n${errors}")
endif()
string(REPLACE "\n" ";" lines "${table}")
set(failed 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z0-9]+)\t[0-9]+\t([0-9]+)\t")
        set(handler ${CMAKE_MATCH_1})
        math(EXPR failed "${failed} + ${CMAKE_MATCH_2}")
        if(NOT CMAKE_MATCH_2 EQUAL 0 AND NOT handler MATCHES "^Msg")
            message(FATAL_ERROR "a text handler failed a check:\n${table}")
        endif()
    endif()
endforeach()
if(NOT failed EQUAL injected)
    message(FATAL_ERROR "${failed} failed checks for ${injected} damaged frames:\n${report}\n${table}")
endif()
if(NOT table MATCHES "\ndropped\t0\n$")
    message(FATAL_ERROR "bytes were dropped:\n${table}")
endif()
