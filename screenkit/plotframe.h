// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>

class QCustomPlot;
class QFont;

namespace screenkit
{
// The frame every plot of the program is drawn in (page, plot area, axes,
// grid, texts) and the inks of what it plots, so that the plots look alike;
// by night from the night colours only, what is plotted then told apart by
// the shapes of its marks and the strokes of its lines.
struct PlotFrame
{
    QColor outside;
    QColor inside;
    QColor axis;
    QColor grid;
    QColor text;
    // What the plot is of (the star's estimates, its altitude), what stands
    // beside it (the imported estimates, the Moon), a limit, and now.
    QColor subject;
    QColor beside;
    QColor limit;
    QColor now;
};

const PlotFrame &plotFrame(bool atNight);
// The plot's page, plot area, axes, grid (without zero lines) and legend
// text in the frame's colours.
void applyFrame(QCustomPlot &plot, const PlotFrame &frame);
// The texts of the plot's axes and legend in the font.
void applyFont(QCustomPlot &plot, const QFont &font);
}
