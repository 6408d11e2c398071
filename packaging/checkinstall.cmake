# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build in BUILD_DIR into the empty folder STAGING and checks that exactly the files
# EXPECTED (paths below STAGING, a list) are there: nothing missing, nothing extra; and that the
# installed programs run from there.
#
#   cmake -DBUILD_DIR=... -DSTAGING=... -DEXPECTED="bin/writefreq;..." -P checkinstall.cmake
foreach(variable BUILD_DIR STAGING EXPECTED)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "checkinstall.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${STAGING})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGING}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${STAGING} ${STAGING}/*)
list(SORT installed)
set(expected ${EXPECTED})
list(SORT expected)
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(extra ${installed})
list(REMOVE_ITEM extra ${expected})
if(missing OR extra)
    list(JOIN missing "\n  " missing)
    list(JOIN extra "\n  " extra)
    message(FATAL_ERROR "the installed tree is not as expected\nmissing:\n  ${missing}\n"
                        "not expected:\n  ${extra}")
endif()

# Each installed program starts from where it was installed and answers --help.
foreach(file IN LISTS installed)
    if(file MATCHES "^bin/")
        execute_process(COMMAND ${STAGING}/${file} --help RESULT_VARIABLE status
                        OUTPUT_VARIABLE help ERROR_VARIABLE errors)
        if(NOT status EQUAL 0 OR NOT help MATCHES "--help")
            message(FATAL_ERROR "the installed ${file} --help gave status ${status}:\n"
                                "${help}${errors}")
        endif()
    endif()
endforeach()
execute_process(COMMAND ${STAGING}/bin/writefreq --version RESULT_VARIABLE status
                OUTPUT_VARIABLE version ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT version MATCHES "^writefreq [0-9]+\\.[0-9]+")
    message(FATAL_ERROR "the installed writefreq --version gave status ${status}:\n"
                        "${version}${errors}")
endif()
message(STATUS "installed as expected: ${installed}")
