# Writes a help2man include file whose COMMANDS section holds the --help of
# every command that `zarnmon-cli --help` lists, so the man page explains each
# command as fully as the program does.
#
# usage: cmake -DCLI=<zarnmon-cli> -DOUT=<file> -P cli_command_pages.cmake

execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE overview COMMAND_ERROR_IS_FATAL ANY)
# The overview lists each command as "  name  what it does".
string(REGEX MATCHALL "\n  [a-z]+  " entries "${overview}")
if(NOT entries)
    message(FATAL_ERROR "no commands in the help of ${CLI}")
endif()

set(text "[COMMANDS]\n")
foreach(entry IN LISTS entries)
    string(STRIP "${entry}" command)
    execute_process(COMMAND ${CLI} ${command} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
    # To roff the help is text: backslashes and minus signs are written out,
    # and a line must not start with a request character.
    string(REPLACE "\\" "\\e" help "${help}")
    string(REPLACE "-" "\\-" help "${help}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    string(APPEND text ".SS ${command}\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUT} "${text}")
