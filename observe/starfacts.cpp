// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/starfacts.h"

#include "appfiles/folder.h"
#include "observe/reportcheck.h"
#include "observe/reportindex.h"
#include "store/charts.h"
#include "store/database.h"
#include "store/observations.h"
#include "store/positions.h"
#include "varstars/vartypes.h"

#include <QFileInfo>

#include <cmath>

namespace observe
{

namespace plausibility
{
namespace
{
const QString notApplied = QStringLiteral("the rules of a star's type and history (jump, limits, range, dates) "
                                          "were not applied");

std::optional<varstars::Magnitude> magnitudeOf(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const outcome::Result<varstars::Magnitude> parsed = varstars::parseMagnitude(text);
    return parsed ? std::optional<varstars::Magnitude>(*parsed) : std::nullopt;
}

varstars::Elements elementsOf(const store::PositionRecord &record)
{
    return varstars::Elements{record.type,  record.period,           record.periodUncertain,
                              record.epoch, magnitudeOf(record.max), magnitudeOf(record.min)};
}

QString keyOf(const QString &star)
{
    return star.toLower();
}

// The days a star's estimates span, as Julian Dates.
struct Span
{
    QString star;
    double first = 0;
    double last = 0;
};

// The day a Julian Date falls on in Universal Time.
QDate dayOf(double jd)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(jd + 0.5)));
}

// The day's reports of "obs" that may hold lines of the days given: a night's
// report holds the dates from its evening to the next noon, in local time.
QStringList reportsAround(const QString &appFolder, double first, double last)
{
    const QDate from = dayOf(first).addDays(-2);
    const QDate until = dayOf(last).addDays(1);
    QStringList files;
    for (const QString &path : modReportcheck::reportFiles(appfiles::Folder(appFolder).reports())) {
        const std::optional<QDate> date = appfiles::reportDate(path);
        if (date && *date >= from && *date <= until)
            files.append(path);
    }
    return files;
}

// Each star's observations of the days before its estimates; the problem's
// message is the reason alone.
outcome::Done readHistories(store::Database &db, const QString &appFolder, const QList<Span> &spans, Known &known)
{
    if (spans.isEmpty())
        return {};
    double first = spans.constFirst().first;
    double last = spans.constFirst().last;
    QStringList stars;
    for (const Span &span : spans) {
        first = std::min(first, span.first);
        last = std::max(last, span.last);
        stars.append(span.star);
    }
    ReportIndex reports = ReportIndex::read(reportsAround(appFolder, first - limitDays, last), stars, QString());
    for (const Span &span : spans) {
        // obsdate is text: whole days as bounds take every date of seven
        // digits before the point; the rules look at the numbers.
        const auto points =
            store::observationPointsBetween(db, span.star, QString::number(std::floor(span.first - limitDays), 'f', 0),
                                            QString::number(std::floor(span.last) + 1, 'f', 0));
        if (!points)
            return points.problem();
        QList<Earlier> &history = known.stars[keyOf(span.star)].history;
        for (const store::ObservationPoint &point : *points) {
            bool dated = false;
            bool measured = false;
            const double jd = point.obsdate.toDouble(&dated);
            const double magnitude = point.magnitude.toDouble(&measured);
            const std::optional<ReportLine> line = reports.take(span.star, point.obsdate);
            if (dated && measured)
                history.append({jd, magnitude, (line && line->fainterThan) || point.fainterThan});
        }
        std::stable_sort(history.begin(), history.end(),
                         [](const Earlier &a, const Earlier &b) { return a.jd < b.jd; });
    }
    return {};
}
}

StarFacts Known::of(const QString &star) const
{
    return stars.value(keyOf(star));
}

Known readKnown(const QString &appFolder, const QList<Estimate> &estimates)
{
    Known known;
    if (appFolder.isEmpty()) {
        known.notes.append(QStringLiteral("Without the program's database, %1.").arg(notApplied));
        return known;
    }
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    if (!QFileInfo::exists(db.path())) {
        known.notes.append(QStringLiteral("There is no database \"%1\", so %2.").arg(db.path(), notApplied));
        return known;
    }
    const outcome::Result<bool> typed = store::hasPositions(db);
    if (!typed) {
        known.notes.append(
            QStringLiteral("The database cannot be read (%1), so %2.").arg(typed.problem().message, notApplied));
        return known;
    }
    if (!*typed) {
        known.notes.append(
            QStringLiteral("The Tonight planner knows no star's type yet, so %1: import the stars' positions there.")
                .arg(notApplied));
        return known;
    }

    QHash<QString, Span> spans;
    for (const Estimate &estimate : estimates) {
        const QString key = keyOf(estimate.star);
        bool dated = false;
        const double jd = estimate.date.toDouble(&dated);
        if (!known.stars.contains(key)) {
            StarFacts &facts = known.stars[key];
            const auto record = store::positionOf(db, estimate.star);
            const auto chart = store::chartOf(db, estimate.star);
            const outcome::Problem *problem = !record ? &record.problem() : !chart ? &chart.problem() : nullptr;
            if (problem) {
                known.notes.append(
                    QStringLiteral("The database cannot be read (%1), so %2.").arg(problem->message, notApplied));
                known.stars.clear();
                return known;
            }
            if (*record)
                facts.elements = elementsOf(**record);
            if (*chart)
                facts.nightly = modEntryscreen::isNightly((*chart)->nightly);
        }
        const StarFacts &facts = known.stars[key];
        if (!dated || !facts.elements || !varstars::isJumpType(facts.elements->type))
            continue;
        auto span = spans.find(key);
        if (span == spans.end())
            span = spans.insert(key, Span{estimate.star, jd, jd});
        span->first = std::min(span->first, jd);
        span->last = std::max(span->last, jd);
    }
    if (const outcome::Done read = readHistories(db, appFolder, spans.values(), known); !read) {
        known.notes.append(
            QStringLiteral("The database cannot be read (%1), so %2.").arg(read.problem().message, notApplied));
        known.stars.clear();
    }
    return known;
}

QStringList ofRecording(const QString &appFolder, const modEntryscreen::ObservationTexts &typed)
{
    const modEntryscreen::ObservationTexts texts = modEntryscreen::asLeft(typed);
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    const auto chart = store::chartOf(db, texts.star);
    const bool nightly = chart && *chart && modEntryscreen::isNightly((*chart)->nightly);
    const QStringList fields = modEntryscreen::makeRecording(texts, nightly).line.split(u'|');
    const Estimate estimate{0, fields.value(0), fields.value(1), fields.value(2), fields.value(4), fields.value(5)};
    const Known known = readKnown(appFolder, {estimate});
    QStringList shown;
    for (const Warning &warning : warnings(estimate, known.of(estimate.star)))
        shown.append(text(estimate, warning));
    return shown;
}
}

} // namespace observe
