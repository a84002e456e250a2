// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// Charts as observers keep them, made by the tests and benchmarks.

// Black lines on white, as charts are printed: a frame one pixel in from
// the edges, a grid and a few star dots. The leftmost column stays white.
QImage blackOnWhiteChart(int width, int height);

// The toolkit reads GIF but does not write it. At most 256 colours; a fully
// transparent pixel becomes the transparent colour. Empty when the image has
// more colours.
QByteArray gifBytes(const QImage &image);
