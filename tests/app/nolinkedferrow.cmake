# SPDX-License-Identifier: GPL-2.0-or-later
# Fails when the program names the ferrow library among the shared objects it needs.
execute_process(COMMAND readelf -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "readelf could not read ${PROGRAM}")
endif()
if(NOT dynamic MATCHES "NEEDED")
    message(FATAL_ERROR "readelf listed no needed libraries for ${PROGRAM}")
endif()
if(dynamic MATCHES "ferrow")
    message(FATAL_ERROR "${PROGRAM} is linked against ferrow:\n${dynamic}")
endif()
