// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/planview.h"

#include "tonight/planinput.h"
#include "tonight/sky.h"

#include <cmath>

namespace tonight
{
namespace
{
// More would not fit the screen's one line.
constexpr qsizetype namedWithoutPosition = 12;

QString clockText(const QDateTime &time, const QTimeZone &zone)
{
    return time.isNull() ? QString() : toMinute(time).toTimeZone(zone).toString(QStringLiteral("HH:mm"));
}

QString wholeDegrees(double value)
{
    // "-0°" is a zero too.
    const long rounded = std::lround(value);
    return QString::number(rounded == 0 ? 0 : rounded) + u'°';
}
}

outcome::Result<PlanView> readPlanView(const appfiles::Folder &appFolder, const QDateTime &moment)
{
    auto planned = planAt(appFolder, moment);
    if (!planned)
        return planned.problem();
    auto sky = nightSky(planned->site, moment);
    if (!sky)
        return sky.problem();
    PlanView view{planned->site, std::move(planned->plan), std::move(*sky), {}};
    for (const PlanStar &star : std::as_const(planned->stars)) {
        if (star.position)
            view.positions.insert(star.name, *star.position);
    }
    return view;
}

QStringList columnTitles()
{
    return {
        QStringLiteral("Star"),
        QStringLiteral("Alt now"),
        QStringLiteral("Best UT"),
        QStringLiteral("Local"),
        QStringLiteral("Best alt"),
        QStringLiteral("Moon dist"),
        QStringLiteral("Moon lit"),
        QStringLiteral("Days since"),
        QStringLiteral("Priority"),
        QStringLiteral("Next min UT"),
        QStringLiteral("Next max (approx.)"),
    };
}

QStringList planCells(const PlanRow &row, const QTimeZone &zone)
{
    const QTimeZone utc = QTimeZone::utc();
    QString minimum;
    if (row.nextMinimum.isValid())
        minimum = toMinute(row.nextMinimum).toString(QStringLiteral("dd MMM HH:mm"));
    QString maximum;
    if (row.nextMaximum)
        maximum = QStringLiteral("~") + row.nextMaximum->date.toString(Qt::ISODate);
    return {
        row.name,
        wholeDegrees(row.altitudeNow),
        clockText(row.best, utc),
        clockText(row.best, zone),
        wholeDegrees(row.bestAltitude),
        wholeDegrees(row.moonSeparation),
        QString::number(std::lround(row.moonFraction * 100)) + u'%',
        row.daysSince ? QString::number(*row.daysSince, 'f', 1) : QString(),
        row.priority ? QString::number(*row.priority, 'f', 1) : QStringLiteral("new"),
        minimum,
        maximum,
    };
}

QString darkText(const Night &night, const QTimeZone &zone)
{
    const QTimeZone utc = QTimeZone::utc();
    if (!night.dark)
        return QStringLiteral("No dark tonight: the Sun stays above the limit; planned for its lowest point, "
                              "%1 UT (%2 local)")
            .arg(clockText(night.evening, utc), clockText(night.evening, zone));
    return QStringLiteral("Dark %1 to %2 UT (%3 to %4 local)")
        .arg(clockText(night.evening, utc), clockText(night.morning, utc), clockText(night.evening, zone),
             clockText(night.morning, zone));
}

QString withoutPositionText(const QStringList &names)
{
    if (names.isEmpty())
        return {};
    QString named = names.mid(0, namedWithoutPosition).join(QStringLiteral(", "));
    if (names.size() > namedWithoutPosition)
        named += QStringLiteral(" and %1 more").arg(names.size() - namedWithoutPosition);
    return QStringLiteral("Without a position (%1): %2. Type one with \"Position...\" or read a file of positions "
                          "with \"Read positions...\".")
        .arg(QString::number(names.size()), named);
}
}
