# SPDX-License-Identifier: GPL-2.0-or-later
# Fails when a folder includes a header of a folder its row in the layer
# table does not name, or a header without the folder it lives in; when a
# folder other than store/ uses Qt's SQL module or the store's statements, or
# a header of store/ shows one of the module's types or a handle. Run as: cmake -DROOT=<tree> -DRULES=<ARCHITECTURE.md> -P layers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT OR NOT RULES)
    message(FATAL_ERROR "ROOT and RULES are needed")
endif()

# The table "| folder | may include |": one row per folder.
file(STRINGS "${RULES}" lines)
set(folders "")
set(in_table FALSE)
foreach(line IN LISTS lines)
    if(line MATCHES "^\\| folder \\| may include \\|")
        set(in_table TRUE)
    elseif(in_table AND line MATCHES "^\\|[-| ]+\\|$")
    elseif(in_table AND line MATCHES "^\\| *([a-z0-9_]+) *\\|([^|]*)\\|")
        set(folder "${CMAKE_MATCH_1}")
        string(REGEX REPLACE "[ ,]+" ";" allowed "${CMAKE_MATCH_2}")
        list(REMOVE_ITEM allowed "")
        list(APPEND folders "${folder}")
        set(allowed_${folder} "${allowed}")
    elseif(in_table)
        set(in_table FALSE)
    endif()
endforeach()
if(NOT folders)
    message(FATAL_ERROR "${RULES} has no table of who may include whom")
endif()

# Every source of the tree's folders; an include names its folder first, from
# the one include root ("store/schema.h"), and that is the folder it reaches.
file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/*.h" "${ROOT}/*.cpp")
list(FILTER sources EXCLUDE REGEX "^(tests|bench|cmake|build[^/]*)/")

set(broken "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" from "${source}")
    if(from STREQUAL source)
        continue()
    endif()
    if(NOT from IN_LIST folders)
        string(APPEND broken "\n  ${source}: the folder ${from} has no row in the table")
        continue()
    endif()
    file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(include IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${include}")
        string(REGEX MATCH "^[^/]+" to "${header}")
        # What moc makes of a file of the same folder ("x.moc", "moc_x.cpp") has no folder of its own.
        if(header MATCHES "\\.moc$" OR header MATCHES "^moc_[^/]+\\.cpp$")
        elseif(to STREQUAL header)
            string(APPEND broken "\n  ${source} includes ${header} without its folder")
        elseif(NOT to IN_LIST folders)
            string(APPEND broken "\n  ${source} includes ${header} of ${to}/, which has no row in the table")
        elseif(NOT to STREQUAL from AND NOT to IN_LIST allowed_${from})
            string(APPEND broken "\n  ${source} includes ${header} of ${to}/")
        elseif(header STREQUAL "store/statement.h" AND NOT from STREQUAL "store")
            # The store's own tool for running a statement.
            string(APPEND broken "\n  ${source} runs statements of its own through ${header}")
        endif()
    endforeach()
    # Every query lives in store/, and the store's headers hand out no type
    # of Qt's SQL module and no handle of the engine's.
    file(STRINGS "${ROOT}/${source}" sql REGEX "QSql|QtSql|handle\\(")
    foreach(line IN LISTS sql)
        if(NOT from STREQUAL "store" AND line MATCHES "(QSql[A-Za-z]*|QtSql)")
            string(APPEND broken "\n  ${source} uses ${CMAKE_MATCH_1} outside store/")
        elseif(from STREQUAL "store" AND source MATCHES "\\.h$"
               AND line MATCHES "(QSql[A-Za-z]*|QtSql|handle\\()")
            string(APPEND broken "\n  ${source} shows ${CMAKE_MATCH_1} in the store's interface")
        endif()
    endforeach()
endforeach()
if(broken)
    message(FATAL_ERROR "What the layer table of ${RULES} and the store's rules do not allow:${broken}")
endif()
