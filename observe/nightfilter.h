// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QImage>
#include <QRgb>

namespace observe
{

// The red night filter of the chart viewer. A chart box reads the colour of a
// point as R + 256 G + 65536 B; the filter inverts every pixel and then keeps
// only its red part. The edge scan walks down the leftmost pixel column and
// applies the filter wherever the colour there reads above 250, so a
// black-on-white chart turns red on black and a dark one stays as it is.
namespace modProcesses
{
// A point's colour value, R + 256 G + 65536 B.
int colourValue(QRgb pixel);

// How many times the edge scan applies the filter to the image. Each point
// of the leftmost column is read at least twice on the way down, after the
// applications before it, so one point can call for two applications.
int edgescan(const QImage &image);

// The image after the given number of applications of the filter, as an
// opaque 32-bit image: once inverted and cleared to red, twice back to the
// red part it had, and so on.
void nightfilter(QImage &image, int applications);
}

} // namespace observe
