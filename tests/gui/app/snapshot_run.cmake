# zarnmon --simulate --snapshot DIR: the program starts on the built-in
# simulator, runs, saves its windows as pictures and ends by itself.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${PROGRAM} --simulate --settings ${DIR}/zarnmon.ini --snapshot ${DIR} --seconds 3
                RESULT_VARIABLE rc ERROR_VARIABLE errors TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zarnmon --snapshot exited with ${rc}:\n${errors}")
endif()
# The toolkit's routine notices stay quiet unless --verbose asks for them.
if(errors MATCHES "propagateSizeHints|XDG_RUNTIME_DIR")
    message(FATAL_ERROR "zarnmon printed the toolkit's routine notices:\n${errors}")
endif()
# The main window and each view the program has.
foreach(picture ZarnMon ChannelVw L2_ChannelVw GPSVw IonoVw MonVw StatsVw NEUErrorVw ScatterVw AlmanVw DbgMsgVw LBandVw
                HeadingVw RCommand TextVw)
    if(NOT EXISTS ${DIR}/${picture}.png)
        message(FATAL_ERROR "no ${picture}.png in ${DIR}")
    endif()
endforeach()
file(READ ${DIR}/zarnmon.ini profile)
if(NOT profile MATCHES "\\[OpenWindows\\]")
    message(FATAL_ERROR "the profile does not remember the open windows:\n${profile}")
endif()
if(NOT profile MATCHES "\\[WindowPlacement\\]\nZarnMon=[-0-9]+,[-0-9]+,[0-9]+,[0-9]+,[01]\nChannelVw=")
    message(FATAL_ERROR "the profile does not remember where the windows were:\n${profile}")
endif()
