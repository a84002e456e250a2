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
    auto rows =
        Statement::run(db,
                       QStringLiteral("SELECT rowid, %1, %2, substr(%3, 1, 1) = '<' FROM %4 "
                                      "WHERE %5 = ? ORDER BY %1")
                           .arg(column::obsdate, column::magnitude, column::estimate, cumobs().name, column::star),
                       {name});
    if (!rows)
        return rows.problem();
    QList<ObservationPoint> points;
    while (rows->next())
        points.append({rows->value(0).toLongLong(), rows->text(1), rows->text(2), rows->value(3).toInt() == 1});
    return points;
}

outcome::Result<QList<store::StarPoint>> store::observationPointsBetween(Database &db, const QStringList &stars,
                                                                         const QString &from, const QString &until)
{
    QList<StarPoint> found;
    for (qsizetype i = 0; i < stars.size(); i += valuesPerStatement) {
        const QStringList some = stars.mid(i, valuesPerStatement);
        QVariantList values(some.cbegin(), some.cend());
        values << from << until;
        auto rows = Statement::run(db,
                                   QStringLiteral("SELECT %1, rowid, %2, %3, substr(%4, 1, 1) = '<' FROM %5 "
                                                  "WHERE %1 IN (%6) AND %2 >= ? AND %2 < ?")
                                       .arg(column::star, column::obsdate, column::magnitude, column::estimate,
                                            cumobs().name, placeholders(some.size())),
                                   values);
        if (!rows)
            return rows.problem();
        while (rows->next())
            found.append({rows->text(0),
                          {rows->value(1).toLongLong(), rows->text(2), rows->text(3), rows->value(4).toInt() == 1}});
    }
    return found;
}

outcome::Result<QList<store::KeyTexts>> store::observationsOnDates(Database &db, const QStringList &obsdates)
{
    QList<KeyTexts> found;
    for (qsizetype i = 0; i < obsdates.size(); i += valuesPerStatement) {
        const QStringList dates = obsdates.mid(i, valuesPerStatement);
        auto rows = Statement::run(
            db,
            QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE %2 IN (%5)")
                .arg(column::star, column::obsdate, column::magnitude, cumobs().name, placeholders(dates.size())),
            QVariantList(dates.cbegin(), dates.cend()));
        if (!rows)
            return rows.problem();
        while (rows->next())
            found.append({rows->text(0), rows->text(1), rows->text(2)});
    }
    return found;
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
