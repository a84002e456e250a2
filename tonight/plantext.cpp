// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/plantext.h"

#include "tonight/sky.h"

#include <QStringList>

#include <algorithm>

namespace tonight
{
namespace
{
QString utc(const QDateTime &time)
{
    if (time.isNull())
        return {};
    // Written by hand: QDateTime's formats take most of the time of a long plan.
    const QDateTime minute = toMinute(time);
    const QDate date = minute.date();
    const QTime clock = minute.time();
    return QString::asprintf("%04d-%02d-%02dT%02d:%02dZ", date.year(), date.month(), date.day(), clock.hour(),
                             clock.minute());
}

QString fixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    // "-0.00" is a zero too.
    if (text.startsWith(u'-')
        && std::all_of(text.begin() + 1, text.end(), [](QChar c) { return c == u'0' || c == u'.'; }))
        text.remove(0, 1);
    return text;
}

QString azimuth(double degrees)
{
    const QString text = fixed(degrees, 2);
    return text == u"360.00" ? QStringLiteral("0.00") : text;
}

QString nextMaximum(const std::optional<MiraMaximum> &maximum)
{
    if (!maximum)
        return {};
    return QStringLiteral("~%1 (cycle %2)").arg(maximum->date.toString(Qt::ISODate)).arg(maximum->cycles);
}
}

QString planText(const Plan &plan)
{
    const Night &night = plan.night;
    QString text = night.dark ? QStringLiteral("# dark\t%1\t%2\n").arg(utc(night.evening), utc(night.morning))
                              : QStringLiteral("# dark\tnone\n");
    text += QStringLiteral("star\talt_now\taz_now\tbest_utc\tbest_alt\tup_from_utc\tup_to_utc\tmoon_alt\tmoon_sep\t"
                           "moon_frac\tdays_since\tcadence\tpriority\tnext_min_utc\tnext_max\n");
    for (const PlanRow &row : plan.rows) {
        const QStringList cells{
            row.name,
            fixed(row.altitudeNow, 2),
            azimuth(row.azimuthNow),
            utc(row.best),
            fixed(row.bestAltitude, 2),
            utc(row.upFrom),
            utc(row.upTo),
            fixed(row.moonAltitude, 2),
            fixed(row.moonSeparation, 2),
            fixed(row.moonFraction, 2),
            row.daysSince ? fixed(*row.daysSince, 1) : QString(),
            QString::number(row.cadence),
            row.priority ? fixed(*row.priority, 1) : QStringLiteral("new"),
            utc(row.nextMinimum),
            nextMaximum(row.nextMaximum),
        };
        text += cells.join(u'\t') + u'\n';
    }
    if (!plan.withoutPosition.isEmpty())
        text += QStringLiteral("# %1 without a position (add them with --positions FILE): %2\n")
                    .arg(plan.withoutPosition.size() == 1 ? QStringLiteral("1 star")
                                                          : QStringLiteral("%1 stars").arg(plan.withoutPosition.size()),
                         plan.withoutPosition.join(QStringLiteral(", ")));
    return text;
}
}
