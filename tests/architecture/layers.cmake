# SPDX-License-Identifier: GPL-2.0-or-later
# Fails when a folder includes a header of a folder its row in the layer
# table does not name, or a header without the folder it lives in; when a
# folder other than store/ uses Qt's SQL module or the store's statements, or
# a header of store/ shows one of the module's types or a handle; when a
# folder other than appfiles/ opens a file by its name. Run as: cmake -DROOT=<tree> -DRULES=<ARCHITECTURE.md> -P layers.cmake
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

# What hands a file's name to something that reads it: a QFile, QImageReader
# or QMovie made with one (they read a device appfiles opened, "&file"),
# setFileName, a QSettings of a file, a QImage, QPixmap or QIcon made or
# loaded from a text or a path, std::ifstream and fstream, fopen for reading
# and open(O_RDONLY).
set(made_with_a_name "(^|[^A-Za-z0-9_:])(QFile|QImageReader|QMovie)(>?[ \t]*[({]|[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*[({])[ \t]*[^&)} \t]")
set(named_reader "(setFileName[ \t]*\\(|QSettings[^;]*,[ \t]*QSettings::[A-Za-z]*Format|([^o]|^)fstream|fopen[ \t]*\\([^;]*\"r|O_RDONLY)")
set(a_path "[ \t]*(QString|QLatin1String|u?\"|[A-Za-z0-9_.>-]*([Pp]ath|[Ff]ile))")
set(picture_of_a_path "((^|[^A-Za-z0-9_:])(QImage|QPixmap|QIcon)(>?[ \t]*\\(|[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*[({])|(\\.|->)load[ \t]*\\()${a_path}")

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
    # Only appfiles opens a file by its name; resources (":/") are no file of the folder.
    if(NOT from STREQUAL "appfiles")
        file(STRINGS "${ROOT}/${source}" readers REGEX "QFile|QImageReader|QMovie|FileName|QSettings|fstream|fopen|O_RDONLY|QImage|QPixmap|QIcon|load")
        foreach(line IN LISTS readers)
            if(NOT line MATCHES "^[ \t]*(//|#)" AND NOT line MATCHES "\":/"
               AND (line MATCHES "${made_with_a_name}" OR line MATCHES "${named_reader}"
                    OR line MATCHES "${picture_of_a_path}"))
                string(STRIP "${line}" line)
                string(APPEND broken "\n  ${source} opens a file by its name outside appfiles/: ${line}")
            endif()
        endforeach()
    endif()
endforeach()
if(broken)
    message(FATAL_ERROR "What the layer table of ${RULES}, the store's rules and appfiles' rules do not allow:${broken}")
endif()
