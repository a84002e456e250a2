// SPDX-License-Identifier: GPL-2.0-or-later
#include "lightcurve/history.h"

#include "appfiles/folder.h"
#include "lightcurve/timeaxis.h"
#include "reports/reportindex.h"
#include "store/database.h"
#include "store/observations.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace
{
// A decimal number, blanks around it allowed; read without the locale
// machinery, as it is read 200,000 times for one curve.
std::optional<double> number(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'+'))
        text = text.mid(1);
    std::array<char, 32> digits{};
    if (text.isEmpty() || text.size() > qsizetype(digits.size()))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c > 127)
            return std::nullopt;
        digits[i] = char(c);
    }
    double value = 0.0;
    const char *end = digits.data() + text.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
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

bool known(const QString &text)
{
    return !text.isEmpty() && text.compare(u"na", Qt::CaseInsensitive) != 0;
}

outcome::Problem unreadable(const QString &star, const QString &reason)
{
    return outcome::failed(QStringLiteral("The observations of \"%1\" cannot be read:\n%2").arg(star, reason));
}
}

outcome::Result<lightcurve::History> lightcurve::readHistory(const appfiles::Folder &appFolder, const QString &star,
                                                             const QDate &today)
{
    History history;
    history.star = star;
    reports::ReportIndex reports = reports::ReportIndex::read(appFolder.reports(), star, appFolder.report(today));

    store::Database db(appFolder);
    // The engine compares star without regard to letter case, and finds the
    // star's rows by the index on (star, obsdate). Only what the curve draws
    // is read; the texts of a row wait until they are asked for.
    const auto points = store::observationPointsOf(db, star);
    if (!points)
        return unreadable(star, points.problem().message);
    for (const store::ObservationPoint &point : *points) {
        const std::optional<double> jd = julianDate(point.obsdate);
        const std::optional<double> magnitude = number(point.magnitude);
        if (!jd || !magnitude) {
            ++history.undrawn;
            continue;
        }
        Observation o;
        o.jd = *jd;
        o.magnitude = *magnitude;
        o.row = point.row;
        if (const std::optional<reports::ReportLine> line = reports.take(point.obsdate)) {
            o.recorded = true;
            o.fainterThan = line->fainterThan;
            o.tonight = line->tonight;
            o.comp1 = line->comp1;
            o.comp2 = line->comp2;
        } else {
            o.fainterThan = point.fainterThan;
        }
        history.observations.append(std::move(o));
    }
    // obsdate is text: a date with another number of digits sorts apart.
    const auto byDate = [](const Observation &a, const Observation &b) { return a.jd < b.jd; };
    if (!std::is_sorted(history.observations.cbegin(), history.observations.cend(), byDate))
        std::stable_sort(history.observations.begin(), history.observations.end(), byDate);
    return history;
}

outcome::Result<lightcurve::Details> lightcurve::readDetails(const appfiles::Folder &appFolder, qint64 row)
{
    store::Database db(appFolder);
    const auto found = store::observationAt(db, row);
    if (!found)
        return found.problem();
    if (!*found)
        return outcome::notFound(QStringLiteral("The observation is no longer in the database."));
    const store::ObservationRow &o = **found;
    return Details{o.obsdate, o.magnitude, o.estimate, o.obscode, o.notes, o.chart};
}

QString lightcurve::describe(const Observation &o, const outcome::Result<Details> &details)
{
    // The row may have changed since the curve was read: its texts must be this observation's.
    const bool same = details && julianDate(details->obsdate) == o.jd;
    const QString magnitude = same ? details->magnitude : QString::number(o.magnitude);
    QStringList lines{dateText(o.jd), QStringLiteral("JD ") + (same ? details->obsdate : QString::number(o.jd, 'f', 4)),
                      (o.fainterThan ? QStringLiteral("Fainter than ") : QStringLiteral("Magnitude ")) + magnitude};
    QStringList comps;
    for (const QString &comp : {o.comp1, o.comp2}) {
        if (!comp.isEmpty())
            comps.append(comp);
    }
    if (!comps.isEmpty())
        lines.append(QStringLiteral("Comparison stars ") + comps.join(QStringLiteral(", ")));
    if (same && known(details->chart))
        lines.append(QStringLiteral("Chart ") + details->chart);
    if (same && known(details->notes))
        lines.append(QStringLiteral("Notes ") + details->notes);
    lines.append(o.tonight        ? QStringLiteral("Recorded tonight")
                     : o.recorded ? QStringLiteral("Recorded here")
                                  : QStringLiteral("Imported"));
    return lines.join(u'\n');
}
