# SPDX-License-Identifier: GPL-2.0-or-later
# QCustomPlot built for Qt 6, as the imported target QCustomPlot::QCustomPlot.
# Debian 12 ships one header for two builds (libqcustomplot-dev): the Qt 5
# library libQCustomPlot.so and the Qt 6 one libQCustomPlotQt6.so. Only a
# Qt 6 build may be linked into this program, so the Qt 5 names are never
# looked for.
find_path(QCustomPlot_INCLUDE_DIR NAMES qcustomplot.h PATH_SUFFIXES qcustomplot)
find_library(QCustomPlot_LIBRARY NAMES QCustomPlotQt6 qcustomplot-qt6 qcustomplotqt6)

if(QCustomPlot_INCLUDE_DIR AND EXISTS "${QCustomPlot_INCLUDE_DIR}/qcustomplot.h")
    file(STRINGS "${QCustomPlot_INCLUDE_DIR}/qcustomplot.h" version_line
         REGEX "^#define QCUSTOMPLOT_VERSION_STR \"[0-9.]+\"")
    string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" QCustomPlot_VERSION "${version_line}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QCustomPlot
    REQUIRED_VARS QCustomPlot_LIBRARY QCustomPlot_INCLUDE_DIR
    VERSION_VAR QCustomPlot_VERSION
    REASON_FAILURE_MESSAGE "QCustomPlot for Qt 6 is missing (Debian 12: install libqcustomplot-dev)")

if(QCustomPlot_FOUND AND NOT TARGET QCustomPlot::QCustomPlot)
    add_library(QCustomPlot::QCustomPlot SHARED IMPORTED)
    set_target_properties(QCustomPlot::QCustomPlot PROPERTIES
        IMPORTED_LOCATION "${QCustomPlot_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${QCustomPlot_INCLUDE_DIR}"
        # The header's declarations then name the shared library's symbols.
        # It includes Print Support's module header, which reads the whole of
        # Qt Core, Gui and Widgets and which it does not need: marked as read,
        # the header takes half the time of each unit that includes it.
        INTERFACE_COMPILE_DEFINITIONS "QCUSTOMPLOT_USE_LIBRARY;QT_QTPRINTSUPPORT_MODULE_H"
        INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
endif()
mark_as_advanced(QCustomPlot_INCLUDE_DIR QCustomPlot_LIBRARY)
