# zarnmon --simulate --snapshot DIR: the program starts on the built-in
# simulator, runs, saves its windows as pictures, prints each view to a PDF
# file and ends by itself.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${PROGRAM} --simulate --settings ${DIR}/zarnmon.ini --snapshot ${DIR} --seconds 3 --pdf
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
                HeadingVw RCommand TextVw SkyVw)
    if(NOT EXISTS ${DIR}/${picture}.png)
        message(FATAL_ERROR "no ${picture}.png in ${DIR}")
    endif()
endforeach()
# Each view printed: a PDF file with at least a page on it.
foreach(view ChannelVw L2_ChannelVw GPSVw IonoVw MonVw StatsVw NEUErrorVw ScatterVw AlmanVw DbgMsgVw LBandVw HeadingVw
             RCommand TextVw SkyVw)
    set(pdf ${DIR}/${view}.pdf)
    if(NOT EXISTS ${pdf})
        message(FATAL_ERROR "no ${view}.pdf in ${DIR}")
    endif()
    file(READ ${pdf} head LIMIT 5 HEX)
    file(SIZE ${pdf} size)
    # "%PDF-"
    if(NOT head STREQUAL "255044462d" OR size LESS 2000)
        message(FATAL_ERROR "${view}.pdf is not a printed page (${size} bytes, starts with the bytes ${head})")
    endif()
endforeach()
if(EXISTS ${DIR}/ZarnMon.pdf)
    message(FATAL_ERROR "the main window is no view to print")
endif()
file(READ ${DIR}/zarnmon.ini profile)
if(NOT profile MATCHES "\\[OpenWindows\\]")
    message(FATAL_ERROR "the profile does not remember the open windows:\n${profile}")
endif()
# The main window's picture shows the link's health beside the views.
if(NOT profile MATCHES "\nLinkHealth=1\n")
    message(FATAL_ERROR "the snapshot did not show the Link Health dock:\n${profile}")
endif()
if(NOT profile MATCHES "\\[WindowPlacement\\]\nZarnMon=[-0-9]+,[-0-9]+,[0-9]+,[0-9]+,[01]\nChannelVw=")
    message(FATAL_ERROR "the profile does not remember where the windows were:\n${profile}")
endif()
