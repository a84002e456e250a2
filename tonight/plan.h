// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "tonight/angles.h"
#include "tonight/night.h"
#include "tonight/site.h"
#include "varstars/elements.h"
#include "varstars/vartypes.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tonight
{
// A star of the observer's catalogue with what is known of where it is.
struct PlanStar
{
    QString name;
    std::optional<Position> position;
    varstars::Elements elements;
};

enum class Visibility {
    // In the dark window now and above the lowest altitude.
    UpNow,
    // Above the lowest altitude later in the window.
    UpLater,
    NotUp,
};

// A Mira's next maximum, reckoned from its epoch and period: approximate.
struct MiraMaximum
{
    QDate date;
    qint64 cycles = 0;
};

// One star of the plan. Times are UTC; a null time does not apply.
struct PlanRow
{
    QString name;
    Visibility visibility = Visibility::NotUp;
    // Observed (refraction included) at the moment, degrees; azimuth from
    // north through east.
    double altitudeNow = 0;
    double azimuthNow = 0;
    // The upper transit when it falls in the dark window, else the higher end
    // of the window, to the minute; where it is never dark, the Sun's lowest point.
    QDateTime best;
    double bestAltitude = 0;
    // Above the lowest altitude within the window: the piece holding the best time.
    QDateTime upFrom;
    QDateTime upTo;
    // The Moon at the best time: its altitude, its distance from the star
    // (degrees) and its lit fraction (0 to 1).
    double moonAltitude = 0;
    double moonSeparation = 0;
    double moonFraction = 0;
    // Days since the newest observation; none when the star was never observed.
    std::optional<double> daysSince;
    double cadence = 0;
    // Days since / cadence to one decimal; none for a star never observed ("new").
    std::optional<double> priority;
    // An eclipsing binary's next primary minimum in the window while it is
    // above the lowest altitude.
    QDateTime nextMinimum;
    std::optional<MiraMaximum> nextMaximum;
};

struct Plan
{
    QDateTime moment;
    Night night;
    // Up now, up later, not up; within each, stars never observed first, then
    // the most overdue.
    QList<PlanRow> rows;
    // The catalogue's stars without a position, in the order given.
    QStringList withoutPosition;
};

// The plan at the moment. newest: the Julian date of the newest observation
// of each star, by varstars::starKey of its name.
outcome::Result<Plan> makePlan(const Site &site, const QList<PlanStar> &stars, const QHash<QString, double> &newest,
                               const varstars::Cadences &cadences, const QDateTime &moment);
}
