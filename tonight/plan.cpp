// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/plan.h"

#include "tonight/roots.h"
#include "varstars/starkey.h"

#include <algorithm>
#include <cmath>

namespace tonight
{
namespace
{
// A minute in days.
constexpr double dayMinute = 1.0 / 1440;
constexpr double siderealDay = 1 / 1.00273781191135448;
// More minima than any real period gives in a night: the loop's guard.
constexpr int mostMinima = 2'000;

struct Window
{
    bool dark;
    double evening;
    double morning;
};

double round(double value, double step)
{
    return std::round(value / step) * step;
}

// The best time to the minute, kept inside the window.
double bestMinute(double jd, const Window &window)
{
    const double rounded = round(jd, dayMinute);
    if (window.dark && window.morning - window.evening < dayMinute)
        return jd;
    if (!window.dark)
        return rounded;
    if (rounded < window.evening)
        return rounded + dayMinute;
    if (rounded > window.morning)
        return rounded - dayMinute;
    return rounded;
}

class Planner
{
public:
    Planner(const Site &site, const Sky &sky, const Night &night)
        : m_site(site)
        , m_sky(sky)
        , m_window{night.dark, julianDate(night.evening), julianDate(night.morning)}
    {
    }

    PlanRow row(const PlanStar &star)
    {
        const Target target = m_sky.target(*star.position);
        const Observed now = m_sky.now(target);
        const auto altitude = [this, &target](double jd) { return m_sky.altitude(target, jd); };
        const double low = m_site.lowestAltitude;
        const double moment = m_sky.moment();

        PlanRow row;
        row.name = star.name;
        row.altitudeNow = now.altitude;
        row.azimuthNow = now.azimuth;
        const double best = bestMinute(bestTime(target), m_window);
        row.best = fromJulianDate(best);
        row.bestAltitude = altitude(best);
        const MoonView moon = moonAt(best);
        row.moonAltitude = moon.altitude;
        row.moonFraction = moon.fraction;
        row.moonSeparation =
            eraSepp(const_cast<double *>(target.direction), const_cast<double *>(moon.direction)) * ERFA_DR2D;

        const bool upNow =
            m_window.dark && moment >= m_window.evening && moment <= m_window.morning && now.altitude >= low;
        bool upLater = !m_window.dark && row.bestAltitude >= low && best > moment;
        if (m_window.dark && row.bestAltitude >= low) {
            // Between a lower and an upper transit the star only rises, after it only sinks.
            const double before = std::max(m_window.evening, m_sky.lowerTransit(target, best) - siderealDay);
            const double after = std::min(m_window.morning, m_sky.lowerTransit(target, best));
            const double from = altitude(before) >= low ? m_window.evening : crossing(altitude, before, best, low);
            const double to = altitude(after) >= low ? m_window.morning : crossing(altitude, best, after, low);
            row.upFrom = fromJulianDate(from);
            row.upTo = fromJulianDate(to);
            // Past its piece now, it may rise above the lowest altitude again before the morning.
            upLater = to > moment || altitude(m_window.morning) >= low;
        }
        row.visibility = upNow ? Visibility::UpNow : upLater ? Visibility::UpLater : Visibility::NotUp;

        const varstars::Elements &elements = star.elements;
        // Elements from elsewhere than a checked file may make no sense.
        if (elements.epoch && elements.period && *elements.period > 0 && std::isfinite(*elements.epoch)) {
            if (varstars::isEclipsing(elements.type))
                row.nextMinimum = nextMinimum(target, *elements.epoch, *elements.period);
            else if (varstars::isMira(elements.type))
                row.nextMaximum = nextMaximum(*elements.epoch, *elements.period);
        }
        return row;
    }

private:
    double bestTime(const Target &target) const
    {
        if (!m_window.dark)
            return m_window.evening;
        const double transit = m_sky.upperTransit(target, m_window.evening);
        if (transit <= m_window.morning)
            return transit;
        return m_sky.altitude(target, m_window.evening) >= m_sky.altitude(target, m_window.morning) ? m_window.evening
                                                                                                    : m_window.morning;
    }

    MoonView moonAt(double jd)
    {
        const qint64 key = std::llround(jd / dayMinute);
        auto cached = m_moon.constFind(key);
        if (cached == m_moon.constEnd())
            cached = m_moon.insert(key, m_sky.moon(jd));
        return *cached;
    }

    // Minima are given heliocentric; the Earth sees them earlier or later by
    // the light's way across the Earth's orbit towards the star.
    QDateTime nextMinimum(const Target &target, double epoch, double period) const
    {
        if (!m_window.dark)
            return {};
        const double from = std::max(m_sky.moment(), m_window.evening);
        const double geocentric = epoch - m_sky.lightTime(target, from);
        double cycle = std::ceil((from - geocentric) / period);
        for (int i = 0; i < mostMinima; ++i, cycle += 1) {
            const double minimum = geocentric + cycle * period;
            if (minimum > m_window.morning)
                break;
            if (m_sky.altitude(target, minimum) >= m_site.lowestAltitude)
                return fromJulianDate(minimum);
        }
        return {};
    }

    MiraMaximum nextMaximum(double epoch, double period) const
    {
        const double cycles = std::ceil((m_sky.moment() - epoch) / period);
        return {fromJulianDate(epoch + cycles * period).date(), static_cast<qint64>(cycles)};
    }

    const Site &m_site;
    const Sky &m_sky;
    const Window m_window;
    QHash<qint64, MoonView> m_moon;
};

struct Keyed
{
    QString key;
    PlanRow row;
};

bool before(const Keyed &keyedA, const Keyed &keyedB)
{
    const PlanRow &a = keyedA.row;
    const PlanRow &b = keyedB.row;
    if (a.visibility != b.visibility)
        return a.visibility < b.visibility;
    if (a.priority.has_value() != b.priority.has_value())
        return !a.priority;
    if (a.priority && *a.priority != *b.priority)
        return *a.priority > *b.priority;
    if (a.daysSince != b.daysSince)
        return a.daysSince > b.daysSince;
    return keyedA.key < keyedB.key;
}
}

outcome::Result<Plan> makePlan(const Site &site, const QList<PlanStar> &stars, const QHash<QString, double> &newest,
                               const varstars::Cadences &cadences, const QDateTime &moment)
{
    outcome::Result<NightSky> tonight = nightSky(site, moment);
    if (!tonight)
        return tonight.problem();
    const double now = julianDate(moment);
    Plan plan{moment.toUTC(), tonight->night, {}, {}};
    Planner planner(site, tonight->sky, tonight->night);
    QList<Keyed> rows;
    rows.reserve(stars.size());
    for (const PlanStar &star : stars) {
        if (!star.position) {
            plan.withoutPosition.append(star.name);
            continue;
        }
        Keyed keyed{varstars::starKey(star.name), planner.row(star)};
        PlanRow &row = keyed.row;
        row.cadence = cadences.days(star.elements.type);
        if (const auto newestJd = newest.constFind(keyed.key); newestJd != newest.constEnd()) {
            row.daysSince = std::max(0.0, now - *newestJd);
            row.priority = round(*row.daysSince / row.cadence, 0.1);
        }
        rows.append(std::move(keyed));
    }
    std::sort(rows.begin(), rows.end(), before);
    plan.rows.reserve(rows.size());
    for (Keyed &keyed : rows)
        plan.rows.append(std::move(keyed.row));
    return plan;
}
}
