# SPDX-License-Identifier: GPL-2.0-or-later
# Qt's headers are most of what every translation unit compiles. They are
# precompiled once per kind of target, and each target reuses the set of its
# kind: "core" (Qt Core, for the widget-free libraries), "ui" (with Gui and
# Widgets; the test suites use it too) and "plot" (ui with QCustomPlot, whose
# one header costs more than all of ui's, for the screens that plot and their
# suites). Without the tests only two screens plot: there, precompiling that
# header would cost more than it saves, and they take the ui set. A set holds only the headers of the
# modules every target of its kind links. Qt Test's headers stay out: they read
# a macro whose value differs in every test folder, which would void the set.
set(varlume_pch_kinds core ui)
if(BUILD_TESTING)
    list(APPEND varlume_pch_kinds plot)
endif()
foreach(kind ${varlume_pch_kinds})
    add_library(varlume_pch_${kind} STATIC ${CMAKE_CURRENT_LIST_DIR}/pch/stub.cpp)
    set_target_properties(varlume_pch_${kind} PROPERTIES AUTOMOC OFF)
    target_link_libraries(varlume_pch_${kind} PRIVATE varlume_build)
    target_precompile_headers(varlume_pch_${kind} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pch/${kind}.h)
endforeach()
target_link_libraries(varlume_pch_core PRIVATE Qt6::Core)
target_link_libraries(varlume_pch_ui PRIVATE Qt6::Widgets)
if(BUILD_TESTING)
    target_link_libraries(varlume_pch_plot PRIVATE Qt6::Widgets Qt6::PrintSupport QCustomPlot::QCustomPlot)
endif()

# moc runs only for a target one of whose sources declares Qt's meta-objects:
# for any other, its step and its empty unit of moc output cost the first
# build about a second each. Looked at once the folder has added every source.
function(varlume_moc_where_needed target)
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
        get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${folder}")
        if(EXISTS "${path}")
            file(STRINGS "${path}" declared REGEX "^[ \t]*Q_(OBJECT|GADGET|NAMESPACE)" LIMIT_COUNT 1)
            if(declared)
                return()
            endif()
        endif()
    endforeach()
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endfunction()

# Links <target> to varlume_build and gives it the precompiled headers of <kind>.
function(varlume_target target kind)
    if(kind STREQUAL "plot" AND NOT BUILD_TESTING)
        set(kind ui)
    endif()
    target_link_libraries(${target} PRIVATE varlume_build)
    target_precompile_headers(${target} REUSE_FROM varlume_pch_${kind})
    # A deferred call reads its arguments' variables when it runs: the name goes in as text.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL varlume_moc_where_needed [[${target}]])")
endfunction()
