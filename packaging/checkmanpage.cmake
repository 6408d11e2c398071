# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a program's manual page: groff reads it without a warning, and it names every option the
# program's --help lists (for a program with commands, every command and every command's
# options too), so that the page cannot fall behind the program.
#
#   cmake -DPROGRAM=path/to/program -DPAGE=man/program.1 [-DGROFF=groff] -P checkmanpage.cmake
foreach(variable PROGRAM PAGE)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "checkmanpage.cmake needs -D${variable}=...")
    endif()
endforeach()
if(NOT GROFF)
    set(GROFF groff)
endif()

execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE} RESULT_VARIABLE status
                OUTPUT_VARIABLE output ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR warnings)
    message(FATAL_ERROR "groff on ${PAGE} (status ${status}):\n${warnings}")
endif()

function(help_of arguments result)
    execute_process(COMMAND ${PROGRAM} ${arguments} --help RESULT_VARIABLE status
                    OUTPUT_VARIABLE help ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} ${arguments} --help gave status ${status}:\n${errors}")
    endif()
    set(${result} "${help}" PARENT_SCOPE)
endfunction()

help_of("" help)
# A program with commands lists them, one an indented line, below "Commands:".
set(commands "")
string(FIND "${help}" "Commands:" at)
if(at GREATER -1)
    string(SUBSTRING "${help}" ${at} -1 listing)
    string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" lines "${listing}")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" command)
        list(APPEND commands ${command})
        help_of(${command} more)
        string(APPEND help "${more}")
    endforeach()
endif()

file(READ ${PAGE} page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")

string(REGEX MATCHALL "--[a-z][a-z0-9-]*" options "${help}")
list(REMOVE_DUPLICATES options)
list(REMOVE_ITEM options --help-all) # Qt's own options
set(missing "")
foreach(option IN LISTS options)
    if(NOT page MATCHES "${option}([^a-z0-9-]|$)")
        list(APPEND missing ${option})
    endif()
endforeach()
foreach(command IN LISTS commands)
    if(NOT page MATCHES "\n\\.BI? \"?${command}[ \"\n]")
        list(APPEND missing "command ${command}")
    endif()
endforeach()
if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "${PAGE} does not describe ${missing}")
endif()
message(STATUS "${PAGE} describes ${options} ${commands}")
