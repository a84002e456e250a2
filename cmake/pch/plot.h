// SPDX-License-Identifier: GPL-2.0-or-later
// Precompiled for the screens that plot: the screens' set and QCustomPlot.
#pragma once
#include "cmake/pch/ui.h"
#include <qcustomplot.h>
