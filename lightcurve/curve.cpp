// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/curve.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double dateMargin = 0.03;
constexpr double smallestDateMargin = 1.0;
constexpr double magnitudeMargin = 0.3;

void add(lightcurve::Series &series, const lightcurve::Observation &o)
{
    series.jd.append(o.jd);
    series.magnitude.append(o.magnitude);
}

lightcurve::Span withRoom(double lower, double upper, double share, double least)
{
    const double room = std::max((upper - lower) * share, least);
    return {lower - room, upper + room};
}

template<typename It>
lightcurve::Span magnitudesOf(It first, It last)
{
    const auto [bright, faint] =
        std::minmax_element(first, last, [](const lightcurve::Observation &a, const lightcurve::Observation &b) {
            return a.magnitude < b.magnitude;
        });
    return withRoom(bright->magnitude, faint->magnitude, 0.05, magnitudeMargin);
}

auto byDate()
{
    return [](const lightcurve::Observation &o, double jd) { return o.jd < jd; };
}
}

lightcurve::Curve lightcurve::curveOf(const QList<Observation> &observations)
{
    Curve curve;
    for (const Observation &o : observations) {
        add(o.fainterThan ? curve.fainterThan : o.recorded ? curve.recorded : curve.imported, o);
        if (o.tonight)
            add(curve.tonight, o);
    }
    return curve;
}

lightcurve::View lightcurve::wholeHistory(const QList<Observation> &observations)
{
    if (observations.isEmpty())
        return {};
    return {withRoom(observations.constFirst().jd, observations.constLast().jd, dateMargin, smallestDateMargin),
            magnitudesOf(observations.cbegin(), observations.cend())};
}

lightcurve::View lightcurve::lastDays(const QList<Observation> &observations, double nowJd, int days)
{
    const Span dates = withRoom(nowJd - days, nowJd, dateMargin, 0.0);
    const auto first = std::lower_bound(observations.cbegin(), observations.cend(), dates.lower, byDate());
    const auto last = std::lower_bound(first, observations.cend(), dates.upper, byDate());
    if (first == last)
        return {dates, wholeHistory(observations).magnitude};
    return {dates, magnitudesOf(first, last)};
}

qsizetype lightcurve::nearest(const QList<Observation> &observations, double jd, double magnitude, double daysPerPixel,
                              double magnitudesPerPixel, double reachPixels)
{
    if (!(daysPerPixel > 0.0) || !(magnitudesPerPixel > 0.0))
        return -1;
    const double reach = reachPixels * daysPerPixel;
    const auto first = std::lower_bound(observations.cbegin(), observations.cend(), jd - reach, byDate());
    qsizetype found = -1;
    double best = reachPixels * reachPixels;
    for (auto it = first; it != observations.cend() && it->jd <= jd + reach; ++it) {
        const double dx = (it->jd - jd) / daysPerPixel;
        const double dy = (it->magnitude - magnitude) / magnitudesPerPixel;
        const double distance = dx * dx + dy * dy;
        if (distance <= best) {
            best = distance;
            found = it - observations.cbegin();
        }
    }
    return found;
}
