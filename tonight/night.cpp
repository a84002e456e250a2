// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/night.h"

#include "tonight/roots.h"

#include <algorithm>
#include <cmath>

namespace tonight
{
namespace
{
// A Julian day begins at noon UT; local noon is later by the longitude west.
double nightStart(double jd, double longitude)
{
    const double noon = -longitude / 360;
    return std::floor(jd - noon) + noon;
}

Night darkWindow(const Sky &sky, double start, double end, double limit)
{
    const auto sun = [&sky](double jd) { return sky.sunAltitude(jd); };
    // Between its upper transits near the two noons the Sun sinks to one
    // lowest point and rises again; the transits may fall a little inside.
    const double highAtStart = std::max(start, sky.sunUpperTransit(start));
    const double highAtEnd = std::min(end, sky.sunUpperTransit(end));
    const double low = lowest(sun, highAtStart, highAtEnd);
    Night night{fromJulianDate(start), fromJulianDate(end), sun(low) < limit, {}, {}};
    if (!night.dark) {
        night.evening = night.morning = fromJulianDate(low);
        return night;
    }
    night.evening = fromJulianDate(sun(highAtStart) < limit ? start : crossing(sun, highAtStart, low, limit));
    night.morning = fromJulianDate(sun(highAtEnd) < limit ? end : crossing(sun, low, highAtEnd, limit));
    return night;
}
}

outcome::Result<NightSky> nightSky(const Site &site, const QDateTime &moment)
{
    const double now = julianDate(moment);
    const double first = nightStart(now, site.longitude);
    for (double start = first;; start += 1) {
        outcome::Result<Sky> sky = Sky::prepare(site, now, start, start + 1);
        if (!sky)
            return sky.problem();
        const Night night = darkWindow(*sky, start, start + 1, site.darkSunAltitude);
        const QDateTime last = night.dark ? night.morning : night.evening;
        if (moment < last || start > first)
            return NightSky{night, std::move(*sky)};
    }
}

Curves curves(const NightSky &tonight, const Position &star, int minutes)
{
    Curves curves;
    const Target target = tonight.sky.target(star);
    const double start = julianDate(tonight.night.start);
    const double end = julianDate(tonight.night.end);
    const double step = minutes / 1440.0;
    for (int i = 0; start + i * step <= end + step / 2; ++i) {
        const double jd = start + i * step;
        curves.times.append(fromJulianDate(jd));
        curves.star.append(tonight.sky.altitude(target, jd));
        curves.moon.append(tonight.sky.moon(jd).altitude);
    }
    return curves;
}
}
