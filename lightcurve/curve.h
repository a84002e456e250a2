// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "lightcurve/history.h"

#include <QList>
#include <QVector>

// What the plot draws of a history, and where it looks.
namespace lightcurve
{
struct Series
{
    QVector<double> jd;
    QVector<double> magnitude;
};

// The marks of the curve. An observation is in one of recorded, imported
// or fainterThan; a tonight's one is in tonight too, drawn over it.
struct Curve
{
    Series recorded;
    Series imported;
    // Drawn at their limit, never as a measured value.
    Series fainterThan;
    Series tonight;
};

Curve curveOf(const QList<Observation> &observations);

struct Span
{
    double lower = 0.0;
    double upper = 0.0;
};

// A part of the curve: Julian Dates across, magnitudes from the bright
// (lower) to the faint (upper); the plot shows bright at the top.
struct View
{
    Span jd;
    Span magnitude;
};

// Every observation, with a little room around them.
View wholeHistory(const QList<Observation> &observations);

// The days before the moment up to it; magnitudes of the observations in
// that time, or of the whole history when there are none.
View lastDays(const QList<Observation> &observations, double nowJd, int days);

// The observation nearest a point, measured in pixels on the plot (the
// scales are units per pixel); -1 when none lies within reach.
qsizetype nearest(const QList<Observation> &observations, double jd, double magnitude, double daysPerPixel,
                  double magnitudesPerPixel, double reachPixels);
}
