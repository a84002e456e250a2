// SPDX-License-Identifier: GPL-2.0-or-later
#include "history.h"

#include "database.h"
#include "folder.h"
#include "reportindex.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

namespace
{
// The columns of cumobs in table order, as store::Database::select gives them.
enum Column { Star, Magnitude, Estimate, Obsdate, Obscode, Notes, Chart };

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A date the calendar axis can show: the years 1 to 9999. A Julian Date
// typed without its point would otherwise squeeze the whole curve.
std::optional<double> julianDate(const QString &text)
{
    constexpr double firstDay = 1721425.5;
    constexpr double lastDay = 5373484.5;
    const std::optional<double> jd = number(text);
    if (!jd || *jd < firstDay || *jd > lastDay)
        return std::nullopt;
    return jd;
}
}

lightcurve::History lightcurve::readHistory(const QString &appFolder, const QString &star, const QDate &today)
{
    History history;
    history.star = star;
    const appfiles::Folder folder(appFolder);
    ReportIndex reports(folder.reports(), star, folder.report(today));

    store::Database db(appFolder);
    // The engine compares star without regard to letter case; the index on
    // (star, obsdate) hands the rows over in date order.
    QSqlQuery query =
        db.select(QStringLiteral("cumobs"), store::Where{QStringLiteral("star"), star}, {{QStringLiteral("obsdate")}});
    if (!query.isActive()) {
        history.error = db.error();
        return history;
    }
    while (query.next()) {
        Observation o;
        o.obsdate = query.value(Obsdate).toString();
        o.magnitudeText = query.value(Magnitude).toString();
        o.estimate = query.value(Estimate).toString();
        const std::optional<double> jd = julianDate(o.obsdate);
        const std::optional<double> magnitude = number(o.magnitudeText);
        if (!jd || !magnitude) {
            ++history.undrawn;
            continue;
        }
        o.jd = *jd;
        o.magnitude = *magnitude;
        o.obscode = query.value(Obscode).toString();
        o.notes = query.value(Notes).toString();
        o.chart = query.value(Chart).toString();
        if (const std::optional<ReportLine> line = reports.take(o.obsdate)) {
            o.recorded = true;
            o.fainterThan = line->fainterThan;
            o.tonight = line->tonight;
            o.comp1 = line->comp1;
            o.comp2 = line->comp2;
        } else {
            o.fainterThan = o.estimate.startsWith(u'<');
        }
        history.observations.append(std::move(o));
    }
    if (query.lastError().isValid()) {
        history.error = query.lastError().text();
        history.observations.clear();
        history.undrawn = 0;
        return history;
    }
    // obsdate is text: dates with another number of digits sort apart.
    std::stable_sort(history.observations.begin(), history.observations.end(),
                     [](const Observation &a, const Observation &b) { return a.jd < b.jd; });
    return history;
}
