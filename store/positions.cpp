// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/positions.h"

#include "store/database.h"
#include "store/schema.h"
#include "store/statement.h"

#include <chrono>

using namespace std::chrono_literals;

namespace
{
QVariant optionalNumber(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

QVariant optionalText(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

std::optional<double> numberAt(const store::Statement &row, int column)
{
    const QVariant value = row.value(column);
    if (value.isNull())
        return std::nullopt;
    return value.toDouble();
}

// The columns of a record, in the order recordAt() reads them.
QStringList recordColumns()
{
    using namespace store::column;
    return {star, ra, dec, type, period, periodUncertain, epoch, max, min};
}

QString recordColumnList()
{
    return recordColumns().join(QStringLiteral(", "));
}

store::PositionRecord recordAt(const store::Statement &row)
{
    return store::PositionRecord{row.text(0),      row.value(1).toDouble(), row.value(2).toDouble(), row.text(3),
                                 numberAt(row, 4), row.value(5).toBool(),   numberAt(row, 6),        row.text(7),
                                 row.text(8)};
}
}

outcome::Result<QList<store::PositionRecord>> store::positions(Database &db)
{
    return rowsOf(db, QStringLiteral("SELECT %1 FROM %2").arg(recordColumnList(), positionsTable), {}, recordAt);
}

outcome::Result<QList<store::PositionRecord>> store::positionsOf(Database &db, const QStringList &stars)
{
    return rowsIn(
        db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (%4)").arg(recordColumnList(), positionsTable, column::star),
        stars, recordAt);
}

outcome::Result<bool> store::hasPositions(Database &db)
{
    const auto tables =
        countOf(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
                {QString(positionsTable)});
    if (!tables)
        return tables.problem();
    if (*tables == 0)
        return false;
    const auto any = countOf(db, QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM %1 LIMIT 1)").arg(positionsTable));
    if (!any)
        return any.problem();
    return *any > 0;
}

outcome::Result<store::PositionsSaved> store::savePositions(Database &db, const QList<PositionRecord> &records)
{
    if (const auto begun = db.begin(5s); !begun)
        return begun.problem();
    PositionsSaved saved;
    using namespace column;
    const QString exists = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(positionsTable, star);
    // Unknown parts of the new record keep what the row had.
    const auto given = [](QLatin1StringView name) { return QStringLiteral("%1 = excluded.%1").arg(name); };
    const auto known = [](QLatin1StringView name) {
        return QStringLiteral("%1 = coalesce(excluded.%1, %1)").arg(name);
    };
    const QStringList updates{
        given(ra),
        given(dec),
        known(type),
        QStringLiteral("%1 = CASE WHEN excluded.%2 IS NULL THEN %1 ELSE excluded.%1 END").arg(periodUncertain, period),
        known(period),
        known(epoch),
        known(max),
        known(min),
    };
    const QString upsert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (%4) DO UPDATE SET %5")
                               .arg(positionsTable, recordColumnList(), placeholders(recordColumns().size()), star,
                                    updates.join(QStringLiteral(", ")));
    for (const PositionRecord &record : records) {
        const auto found = countOf(db, exists, {record.star});
        outcome::Done written = found
            ? Statement::write(db, upsert,
                               {record.star, record.ra, record.dec, optionalText(record.type),
                                optionalNumber(record.period), record.periodUncertain ? 1 : 0,
                                optionalNumber(record.epoch), optionalText(record.max), optionalText(record.min)})
            : outcome::Done(found.problem());
        if (!written) {
            // A failure to take back is logged; closing the handle takes it back too.
            static_cast<void>(db.rollback());
            return written.problem();
        }
        ++(*found > 0 ? saved.updated : saved.added);
    }
    if (const auto committed = db.commit(); !committed) {
        static_cast<void>(db.rollback());
        return committed.problem();
    }
    return saved;
}

outcome::Result<QHash<QString, QString>> store::newestDates(Database &db, const QStringList &stars)
{
    // Many stars to one statement: preparing it again for each star would
    // take longer than the steps through the index.
    constexpr qsizetype perStatement = 500;
    QHash<QString, QString> newest;
    newest.reserve(stars.size());
    for (qsizetype first = 0; first < stars.size(); first += perStatement) {
        const QStringList some = stars.mid(first, perStatement);
        const QString sql = QStringLiteral("WITH given(name) AS (VALUES %1) SELECT name, (SELECT %2 FROM %3 "
                                           "WHERE %4 = given.name ORDER BY %2 DESC LIMIT 1) FROM given")
                                .arg(QStringList(some.size(), QStringLiteral("(?)")).join(u','), column::obsdate,
                                     cumobs().name, column::star);
        auto rows = Statement::run(db, sql, QVariantList(some.cbegin(), some.cend()));
        if (!rows)
            return rows.problem();
        while (rows->next()) {
            if (!rows->value(1).isNull())
                newest.insert(rows->text(0), rows->text(1));
        }
    }
    return newest;
}

outcome::Result<QStringList> store::catalogueStars(Database &db)
{
    return textsOf(db, QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(column::starname, charts().name));
}
