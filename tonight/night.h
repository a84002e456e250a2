// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "tonight/site.h"
#include "tonight/sky.h"

#include <QDateTime>
#include <QList>

namespace tonight
{
// One night of a site, in UTC.
struct Night
{
    // Local noon to local noon, reckoned from the longitude (12 h - longitude
    // / 15° UT), whatever the clocks there say.
    QDateTime start;
    QDateTime end;
    // Whether the Sun's centre gets below the dark limit.
    bool dark = false;
    // The dark window: while the Sun's centre is below the limit, the whole
    // night when it never rises above it. Where it is never dark, both are
    // the Sun's lowest point, which the plan is for.
    QDateTime evening;
    QDateTime morning;
};

struct NightSky
{
    Night night;
    Sky sky;
};

// The altitudes the screen plots through the night, from noon to noon.
struct Curves
{
    QList<QDateTime> times;
    QList<double> star;
    QList<double> moon;
};

// The night a plan at the moment is for: the one whose dark window holds the
// moment or is the next to begin (where it is never dark: whose Sun's
// lowest point is not past), with its sky.
outcome::Result<NightSky> nightSky(const Site &site, const QDateTime &moment);
// The star's and the Moon's observed altitude every few minutes of the night.
Curves curves(const NightSky &tonight, const Position &star, int minutes = 10);
}
