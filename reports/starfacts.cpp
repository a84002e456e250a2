// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/starfacts.h"

#include "appfiles/folder.h"
#include "reports/logging.h"
#include "reports/reportcheck.h"
#include "reports/reportindex.h"
#include "reports/rowpairing.h"
#include "store/charts.h"
#include "store/database.h"
#include "store/observations.h"
#include "store/positions.h"
#include "store/sequences.h"
#include "varstars/vartypes.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <limits>

namespace reports
{

namespace plausibility
{
namespace
{
const QString notApplied = QStringLiteral("the rules of a star's type and history (jump, limits, range, dates) "
                                          "were not applied");

std::optional<varstars::Magnitude> rangeEnd(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const outcome::Result<varstars::Magnitude> parsed = varstars::parseMagnitude(text);
    return parsed ? std::optional<varstars::Magnitude>(*parsed) : std::nullopt;
}

varstars::Elements elementsOf(const store::PositionRecord &record)
{
    return varstars::Elements{record.type,  record.period,        record.periodUncertain,
                              record.epoch, rangeEnd(record.max), rangeEnd(record.min)};
}

// The database failed the rules: they are left out, the other rules stand.
void unreadable(Known &known, const QString &reason)
{
    qCWarning(lc).noquote() << "the checks after an estimate cannot read the database:" << reason;
    known.notes.append(QStringLiteral("The database cannot be read (%1), so %2.").arg(reason, notApplied));
    known.stars.clear();
}

QString keyOf(const QString &star)
{
    return star.toLower();
}

// The day a Julian Date falls on in Universal Time.
QDate dayOf(double jd)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(jd + 0.5)));
}

// The day's reports of "obs" that may hold lines of the days given: a night's
// report holds the dates from its evening to the next noon, in local time.
QStringList reportsAround(const appfiles::Folder &appFolder, double first, double last)
{
    const QDate from = dayOf(first).addDays(-2);
    const QDate until = dayOf(last).addDays(1);
    QStringList files;
    for (const QString &path : modReportcheck::reportFiles(appFolder.reports().path())) {
        const std::optional<QDate> date = appfiles::reportDate(path);
        if (date && *date >= from && *date <= until)
            files.append(path);
    }
    return files;
}

// The stars' observations of the days before their estimates, from `first`
// to `last`, in one pass; the problem's message is the reason alone.
outcome::Done readHistories(store::Database &db, const appfiles::Folder &appFolder, const QStringList &stars,
                            double first, double last, Known &known)
{
    if (stars.isEmpty())
        return {};
    // obsdate is text: whole days as bounds take every date of seven digits
    // before the point; the rules look at the numbers.
    const auto points = store::observationPointsBetween(db, stars, QString::number(std::floor(first), 'f', 0),
                                                        QString::number(std::floor(last) + 1, 'f', 0));
    if (!points)
        return points.problem();
    ReportIndex reports = ReportIndex::read(reportsAround(appFolder, first, last), stars, QString());
    known.unread = reports.unread();
    for (const store::StarPoint &row : *points) {
        bool dated = false;
        bool measured = false;
        const double jd = row.point.obsdate.toDouble(&dated);
        const double magnitude = row.point.magnitude.toDouble(&measured);
        const std::optional<ReportLine> line = reports.take(row.star, row.point.obsdate);
        if (dated && measured)
            known.stars[keyOf(row.star)].history.append(
                {jd, magnitude, (line && line->fainterThan) || row.point.fainterThan});
    }
    for (StarFacts &facts : known.stars)
        std::sort(facts.history.begin(), facts.history.end(),
                  [](const Earlier &a, const Earlier &b) { return a.jd < b.jd; });
    return {};
}

// The sequences of the estimates' charts; none without their table.
outcome::Done readSequences(store::Database &db, const QList<Estimate> &estimates, Known &known)
{
    QSet<QString> charts;
    for (const Estimate &estimate : estimates) {
        if (!estimate.chart.isEmpty())
            charts.insert(estimate.chart.toUpper());
    }
    const outcome::Result<bool> present = store::hasSequences(db);
    if (charts.isEmpty() || !present || !*present)
        return present ? outcome::Done() : outcome::Done(present.problem());
    const auto stars = store::labelsOf(db, QStringList(charts.cbegin(), charts.cend()));
    if (!stars)
        return stars.problem();
    known.sequences = std::move(*stars);
    return {};
}

// Each star's record of the planner and of the catalogue.
outcome::Done readRecords(store::Database &db, const QStringList &stars, Known &known)
{
    const auto records = store::positionsOf(db, stars);
    if (!records)
        return records.problem();
    for (const store::PositionRecord &record : *records)
        known.stars[keyOf(record.star)].elements = elementsOf(record);
    const auto charts = store::chartsOf(db, stars);
    if (!charts)
        return charts.problem();
    for (const store::ChartRow &chart : *charts)
        known.stars[keyOf(chart.starname)].nightly = isNightly(chart.nightly);
    return {};
}
}

QString unreadWarning(const QString &reason)
{
    return QStringLiteral("This day's report cannot be read (%1), so its night's observations were taken as the "
                          "database holds them: a fainter-than estimate of it may count as a plain one. Make it "
                          "readable, or move it out of the folder if it is no report.")
        .arg(reason);
}

void readWritten(const appfiles::Folder &appFolder, QList<Estimate> &estimates)
{
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    if (!QFileInfo::exists(db.path()))
        return;
    QStringList dates;
    for (const Estimate &estimate : std::as_const(estimates))
        dates.append(estimate.date);
    outcome::Result<RowPairing> rows = RowPairing::read(db, dates);
    if (!rows) {
        qCWarning(lc).noquote() << "the estimates as written cannot be read:" << rows.problem().message;
        return;
    }
    for (Estimate &estimate : estimates) {
        if (const std::optional<store::KeyTexts> row = rows->take(estimate.star, estimate.date, estimate.magnitude))
            estimate.written = row->estimate;
    }
}

StarFacts Known::of(const QString &star) const
{
    return stars.value(keyOf(star));
}

ChartLabels Known::sequenceOf(const QString &chart) const
{
    return sequences.value(chart.toUpper());
}

Known readKnown(const std::optional<appfiles::Folder> &appFolder, const QList<Estimate> &estimates)
{
    Known known;
    if (!appFolder) {
        known.notes.append(QStringLiteral("Without the program's database, %1.").arg(notApplied));
        return known;
    }
    store::Database db(*appFolder, store::Database::Access::ReadOnly);
    if (!QFileInfo::exists(db.path())) {
        known.notes.append(QStringLiteral("There is no database \"%1\", so %2.").arg(db.path(), notApplied));
        return known;
    }
    if (const outcome::Done read = readSequences(db, estimates, known); !read)
        qCWarning(lc).noquote() << "the comparison sequences cannot be read:" << read.problem().message;
    const outcome::Result<bool> typed = store::hasPositions(db);
    if (!typed) {
        unreadable(known, typed.problem().message);
        return known;
    }
    if (!*typed) {
        known.notes.append(
            QStringLiteral("The Tonight planner knows no star's type yet, so %1: import the stars' positions there.")
                .arg(notApplied));
        return known;
    }

    QStringList stars;
    for (const Estimate &estimate : estimates) {
        if (!known.stars.contains(keyOf(estimate.star))) {
            known.stars.insert(keyOf(estimate.star), {});
            stars.append(estimate.star);
        }
    }
    if (const outcome::Done read = readRecords(db, stars, known); !read) {
        unreadable(known, read.problem().message);
        return known;
    }
    // Only the stars whose estimates may not jump need their history.
    QStringList jumping;
    QSet<QString> listed;
    double first = std::numeric_limits<double>::max();
    double last = std::numeric_limits<double>::lowest();
    for (const Estimate &estimate : estimates) {
        const StarFacts &facts = *known.stars.constFind(keyOf(estimate.star));
        bool dated = false;
        const double jd = estimate.date.toDouble(&dated);
        if (!dated || !facts.elements || !varstars::isJumpType(facts.elements->type))
            continue;
        if (!listed.contains(keyOf(estimate.star))) {
            listed.insert(keyOf(estimate.star));
            jumping.append(estimate.star);
        }
        first = std::min(first, jd - limitDays);
        last = std::max(last, jd);
    }
    if (const outcome::Done read = readHistories(db, *appFolder, jumping, first, last, known); !read)
        unreadable(known, read.problem().message);
    return known;
}
}

} // namespace reports
