# SPDX-License-Identifier: GPL-2.0-or-later
# Installing the program into a folder that holds an observer's data puts the
# program, its control library and the help page there and leaves the data
# byte for byte as it was.
# Run as: cmake -DBUILD=<build dir> -DWORK=<scratch dir> -P installkeepsdata.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/obs" "${WORK}/starcharts")
file(WRITE "${WORK}/starcharts.mdb" "the observer's database")
file(WRITE "${WORK}/header.txt" "#OBSCODE=XYZ\r\n")
file(WRITE "${WORK}/obs/2018-Jan-05.txt" "ss cyg|2458124.3958|11.2|na|110|115|1896|na\r\n")
file(WRITE "${WORK}/quillon.html" "an old help page")
set(data starcharts.mdb header.txt obs/2018-Jan-05.txt)
foreach(name IN LISTS data)
    file(SHA256 "${WORK}/${name}" before_${name})
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${WORK}" RESULT_VARIABLE status
                OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
foreach(name varlume libferrow.so quillon.html)
    if(NOT EXISTS "${WORK}/${name}")
        message(FATAL_ERROR "${name} was not installed")
    endif()
endforeach()
file(READ "${WORK}/quillon.html" help)
if(help STREQUAL "an old help page")
    message(FATAL_ERROR "the help page was not replaced")
endif()
foreach(name IN LISTS data)
    file(SHA256 "${WORK}/${name}" after)
    if(NOT after STREQUAL before_${name})
        message(FATAL_ERROR "${name} changed")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
