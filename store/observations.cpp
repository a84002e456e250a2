// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/observations.h"

#include "store/schema.h"
#include "store/statement.h"

namespace
{
outcome::Result<std::optional<store::ObservationRow>> firstRow(store::Database &db, const QString &sql,
                                                               const QVariantList &values)
{
    auto rows = store::Statement::run(db, sql, values);
    if (!rows)
        return rows.problem();
    if (!rows->next())
        return std::optional<store::ObservationRow>();
    return std::optional<store::ObservationRow>(store::ObservationRow{
        rows->text(0), rows->text(1), rows->text(2), rows->text(3), rows->text(4), rows->text(5), rows->text(6)});
}

// A point of the row's columns from first on: rowid, obsdate, magnitude, whether fainter than.
store::ObservationPoint pointAt(const store::Statement &row, int first)
{
    return {row.value(first).toLongLong(), row.text(first + 1), row.text(first + 2), row.value(first + 3).toInt() == 1};
}

// A point of the row after its star.
store::StarPoint starPointAt(const store::Statement &row)
{
    return {row.text(0), pointAt(row, 1)};
}
}

outcome::Result<qint64> store::countObservations(Database &db)
{
    return countOf(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(cumobs().name));
}

outcome::Result<qint64> store::countObservationsOf(Database &db, const QString &name)
{
    return countOf(db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(cumobs().name, column::star), {name});
}

outcome::Result<std::optional<store::ObservationRow>> store::newestObservation(Database &db, const QString &name)
{
    // Read from the end of the star's part of the index, not sorted.
    return firstRow(db,
                    QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %4 DESC LIMIT 1")
                        .arg(columnList(cumobs()), cumobs().name, column::star, column::obsdate),
                    {name});
}

outcome::Result<std::optional<store::ObservationRow>> store::observationAt(Database &db, qint64 row)
{
    return firstRow(db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(columnList(cumobs()), cumobs().name),
                    {row});
}

outcome::Done store::addObservation(Database &db, const ObservationRow &row)
{
    return Statement::write(db,
                            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(cumobs().name, columnList(cumobs()), placeholders(cumobs().columns.size())),
                            {row.star, row.magnitude, row.estimate, row.obsdate, row.obscode, row.notes, row.chart});
}

outcome::Result<QList<store::ObservationPoint>> store::observationPointsOf(Database &db, const QString &name)
{
    return rowsOf(db,
                  QStringLiteral("SELECT rowid, %1, %2, substr(%3, 1, 1) = '<' FROM %4 "
                                 "WHERE %5 = ? ORDER BY %1")
                      .arg(column::obsdate, column::magnitude, column::estimate, cumobs().name, column::star),
                  {name}, [](const Statement &row) { return pointAt(row, 0); });
}

outcome::Result<QList<store::StarPoint>> store::observationPointsBetween(Database &db, const QStringList &stars,
                                                                         const QString &from, const QString &until)
{
    return rowsIn(db,
                  QStringLiteral("SELECT %1, rowid, %2, %3, substr(%4, 1, 1) = '<' FROM %5 "
                                 "WHERE %1 IN (%6) AND %2 >= ? AND %2 < ?")
                      .arg(column::star, column::obsdate, column::magnitude, column::estimate, cumobs().name),
                  stars, starPointAt, {from, until});
}

outcome::Result<QList<store::KeyTexts>> store::observationsOnDates(Database &db, const QStringList &obsdates)
{
    return rowsIn(db,
                  QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 WHERE %2 IN (%6)")
                      .arg(column::star, column::obsdate, column::magnitude, column::estimate, cumobs().name),
                  obsdates, [](const Statement &row) {
                      return KeyTexts{row.text(0), row.text(1), row.text(2), row.text(3)};
                  });
}

outcome::Result<store::ObservationKeys> store::observationKeys(Database &db, qint64 afterRow, int rows)
{
    // The limit is a number of ours: bound like every value all the same.
    auto slice =
        Statement::run(db,
                       QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE rowid > ? ORDER BY rowid LIMIT ?")
                           .arg(column::star, column::obsdate, column::magnitude, cumobs().name),
                       {afterRow, rows});
    if (!slice)
        return slice.problem();
    ObservationKeys keys;
    keys.lastRow = afterRow;
    int read = 0;
    while (slice->next()) {
        ++read;
        keys.lastRow = slice->value(0).toLongLong();
        if (const auto key = observationKey(slice->text(1), slice->text(2), slice->text(3)))
            keys.keys.append(*key);
    }
    keys.end = read < rows;
    return keys;
}
