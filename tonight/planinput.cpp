// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/planinput.h"

#include "appfiles/folder.h"
#include "store/database.h"
#include "store/positions.h"
#include "tonight/site.h"
#include "varstars/starkey.h"

#include <QSet>

namespace
{
std::optional<varstars::Magnitude> magnitudeOf(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    auto parsed = varstars::parseMagnitude(text);
    return parsed ? std::optional<varstars::Magnitude>(*parsed) : std::nullopt;
}

store::PositionRecord recordOf(const QString &star, const tonight::PositionRow &row)
{
    const varstars::Elements &e = row.elements;
    return {star,
            row.position.ra,
            row.position.dec,
            e.type,
            e.period,
            e.periodUncertain,
            e.epoch,
            e.max ? e.max->text : QString(),
            e.min ? e.min->text : QString()};
}
}

outcome::Result<tonight::PlanInput> tonight::readPlanInput(store::Database &db)
{
    auto names = store::catalogueStars(db);
    if (!names)
        return names.problem();
    auto records = store::positions(db);
    if (!records)
        return records.problem();
    auto newest = store::newestDates(db, *names);
    if (!newest)
        return newest.problem();

    QHash<QString, const store::PositionRecord *> byKey;
    for (const store::PositionRecord &record : *records)
        byKey.insert(varstars::starKey(record.star), &record);
    PlanInput input;
    input.stars.reserve(names->size());
    for (const QString &name : *names) {
        PlanStar star{name, std::nullopt, {}};
        if (const store::PositionRecord *record = byKey.value(varstars::starKey(name))) {
            star.position = Position{record->ra, record->dec};
            star.elements = varstars::Elements{record->type,  record->period,           record->periodUncertain,
                                               record->epoch, magnitudeOf(record->max), magnitudeOf(record->min)};
        }
        input.stars.append(star);
    }
    for (auto it = newest->cbegin(); it != newest->cend(); ++it) {
        bool number = false;
        const double jd = it.value().toDouble(&number);
        if (number)
            input.newest.insert(varstars::starKey(it.key()), jd);
    }
    return input;
}

QString tonight::PositionsImported::text() const
{
    // A line refused for two of its values is one line refused.
    QSet<int> refusedLines;
    for (const Refusal &refusal : refusals)
        refusedLines.insert(refusal.line);
    QStringList lines{
        QStringLiteral("%1 added, %2 updated, %3 refused").arg(added).arg(updated).arg(refusedLines.size())};
    if (!unknown.isEmpty())
        lines.append(QStringLiteral("Not in the catalogue, not stored (%1): %2")
                         .arg(unknown.size())
                         .arg(unknown.join(QStringLiteral(", "))));
    for (const Refusal &refusal : refusals)
        lines.append(refusal.text());
    lines.append(warnings);
    return lines.join(QLatin1Char('\n'));
}

outcome::Result<tonight::PositionsImported> tonight::importPositions(store::Database &db,
                                                                     const PositionsReading &reading)
{
    auto names = store::catalogueStars(db);
    if (!names)
        return names.problem();
    const CatalogueMatch match = matchCatalogue(reading.rows, *names);
    QList<store::PositionRecord> records;
    records.reserve(match.rows.size());
    for (const PositionRow &row : match.rows)
        records.append(recordOf(row.name, row));
    auto saved = store::savePositions(db, records);
    if (!saved)
        return saved.problem();
    return PositionsImported{saved->added, saved->updated, match.unknown, reading.refusals, reading.warnings};
}

outcome::Done tonight::savePosition(store::Database &db, const QString &star, const Position &position)
{
    auto names = store::catalogueStars(db);
    if (!names)
        return names.problem();
    const CatalogueMatch match = matchCatalogue({PositionRow{0, star, position, {}}}, *names);
    if (match.rows.isEmpty())
        return outcome::notFound(QStringLiteral("The catalogue has no star \"%1\".").arg(star));
    auto saved = store::savePositions(db, {recordOf(match.rows.first().name, match.rows.first())});
    if (!saved)
        return saved.problem();
    return {};
}

outcome::Result<tonight::PlannedNight> tonight::planAt(const appfiles::Folder &appFolder, const QDateTime &moment)
{
    auto site = readSite(appFolder.site());
    if (!site)
        return site.problem();
    auto overrides = readCadences(appFolder.site());
    if (!overrides)
        return overrides.problem();
    store::Database db(appFolder);
    auto input = readPlanInput(db);
    if (!input)
        return input.problem();
    auto plan = makePlan(*site, input->stars, input->newest, varstars::Cadences(*overrides), moment);
    if (!plan)
        return plan.problem();
    return PlannedNight{*site, std::move(*plan), std::move(input->stars)};
}
