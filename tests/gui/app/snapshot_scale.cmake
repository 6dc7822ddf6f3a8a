# zarnmon --snapshot on a screen of two device pixels per point: the data
# views are drawn at that density, not scaled up, so the heading view's
# 360 x 360 extent is a 720 x 720 picture.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_SCALE_FACTOR=2
                        ${PROGRAM} --simulate --settings ${DIR}/zarnmon.ini --snapshot ${DIR} --seconds 1
                RESULT_VARIABLE rc ERROR_VARIABLE errors TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zarnmon --snapshot exited with ${rc}:\n${errors}")
endif()
# A PNG's width and height are the two big-endian words after its 16-byte signature and chunk head.
file(READ ${DIR}/HeadingVw.png size OFFSET 16 LIMIT 8 HEX)
if(NOT size STREQUAL "000002d0000002d0")
    message(FATAL_ERROR "HeadingVw.png is not 720 x 720 at twice the scale (size words ${size})")
endif()
