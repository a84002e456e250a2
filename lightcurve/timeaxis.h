// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The time axis of a light curve: Julian Dates shown as calendar dates in
// Universal Time, the time the Julian Dates of the reports are reckoned in.
namespace lightcurve
{
// The moment of a Julian Date, in UTC, to the millisecond.
QDateTime utcOf(double jd);
double jdOf(const QDateTime &moment);

// "2018-01-05 21:30 UT".
QString dateText(double jd);

struct Tick
{
    double jd;
    QString label;
};

// At most `most` ticks (at least one) over the span, on calendar
// boundaries: whole hours, days, the first of a month, or new year's day,
// the step the smallest that keeps within `most`.
QList<Tick> dateTicks(double fromJd, double toJd, int most);
}
