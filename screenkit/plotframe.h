// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>

namespace screenkit
{
// The frame every plot of the program is drawn in (page, plot area, axes,
// grid, texts), so that the plots look alike; by night from the night
// colours only.
struct PlotFrame
{
    QColor outside;
    QColor inside;
    QColor axis;
    QColor grid;
    QColor text;
};

const PlotFrame &plotFrame(bool atNight);
}
