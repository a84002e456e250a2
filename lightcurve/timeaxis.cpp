// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/timeaxis.h"

#include <cmath>

namespace
{
// 1970-01-01 00:00 UT.
constexpr double unixEpochJd = 2440587.5;
constexpr double msPerDay = 86'400'000.0;

enum class Unit { Hour, Day, Month, Year };

struct Step
{
    Unit unit;
    int count;
    // Roughly, to tell how many ticks a span takes.
    double days;
};

const QList<Step> &steps()
{
    static const QList<Step> all{
        {Unit::Hour, 1, 1.0 / 24}, {Unit::Hour, 3, 3.0 / 24}, {Unit::Hour, 6, 0.25},    {Unit::Hour, 12, 0.5},
        {Unit::Day, 1, 1},         {Unit::Day, 2, 2},         {Unit::Day, 5, 5},        {Unit::Day, 10, 10},
        {Unit::Month, 1, 30.44},   {Unit::Month, 2, 60.9},    {Unit::Month, 3, 91.3},   {Unit::Month, 6, 182.6},
        {Unit::Year, 1, 365.25},   {Unit::Year, 2, 730.5},    {Unit::Year, 5, 1826.25}, {Unit::Year, 10, 3652.5},
        {Unit::Year, 20, 7305},    {Unit::Year, 50, 18262.5}, {Unit::Year, 100, 36525}, {Unit::Year, 1000, 365250},
    };
    return all;
}

QString label(const QDateTime &moment, Unit unit)
{
    switch (unit) {
    case Unit::Hour: return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    case Unit::Day: return moment.toString(QStringLiteral("yyyy-MM-dd"));
    case Unit::Month: return moment.toString(QStringLiteral("yyyy-MM"));
    case Unit::Year: return moment.toString(QStringLiteral("yyyy"));
    }
    return {};
}

// The first boundary of the step at or before the moment.
QDateTime floorTo(const QDateTime &moment, const Step &step)
{
    const QDate date = moment.date();
    const Qt::TimeSpec utc = Qt::UTC;
    switch (step.unit) {
    case Unit::Hour: return QDateTime(date, QTime(moment.time().hour() / step.count * step.count, 0), utc);
    case Unit::Day: return QDateTime(date, QTime(0, 0), utc);
    case Unit::Month:
        return QDateTime(QDate(date.year(), (date.month() - 1) / step.count * step.count + 1, 1), QTime(0, 0), utc);
    case Unit::Year: {
        const int year = static_cast<int>(std::floor(date.year() / double(step.count))) * step.count;
        return QDateTime(QDate(year == 0 ? 1 : year, 1, 1), QTime(0, 0), utc);
    }
    }
    return moment;
}

QDateTime next(const QDateTime &moment, const Step &step)
{
    switch (step.unit) {
    case Unit::Hour: return moment.addSecs(3600LL * step.count);
    case Unit::Day: return moment.addDays(1);
    case Unit::Month: return moment.addMonths(step.count);
    case Unit::Year: return moment.addYears(step.count);
    }
    return moment;
}

// Days of a month on a step of several days: 1, 3, 5 ... or 1, 6, 11 ...
// Near the month's end a tick would crowd the first of the next month.
bool onDayStep(const QDate &date, int count)
{
    return (date.day() - 1) % count == 0 && date.day() + count / 2 <= 31;
}
}

QDateTime lightcurve::utcOf(double jd)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround((jd - unixEpochJd) * msPerDay), Qt::UTC);
}

double lightcurve::jdOf(const QDateTime &moment)
{
    return unixEpochJd + moment.toMSecsSinceEpoch() / msPerDay;
}

QString lightcurve::dateText(double jd)
{
    // To the nearest minute: a recorded time has no seconds.
    const QDateTime moment = utcOf(jd).addSecs(30);
    return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm")) + QStringLiteral(" UT");
}

QList<lightcurve::Tick> lightcurve::dateTicks(double fromJd, double toJd, int most)
{
    most = qMax(1, most);
    if (!(toJd > fromJd))
        return {};
    const double span = toJd - fromJd;
    const Step *chosen = &steps().constLast();
    for (const Step &step : steps()) {
        if (span / step.days <= most) {
            chosen = &step;
            break;
        }
    }
    const QDateTime end = utcOf(toJd);
    QList<Tick> ticks;
    for (QDateTime at = floorTo(utcOf(fromJd), *chosen); at <= end && at.isValid(); at = next(at, *chosen)) {
        if (chosen->unit == Unit::Day && !onDayStep(at.date(), chosen->count))
            continue;
        const double jd = jdOf(at);
        if (jd >= fromJd)
            ticks.append({jd, label(at, chosen->unit)});
    }
    return ticks;
}
