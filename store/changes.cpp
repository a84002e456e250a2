// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/changes.h"

#include "store/schema.h"
#include "store/statement.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace
{
using store::Change;

QLatin1StringView kindText(Change::Kind kind)
{
    switch (kind) {
    case Change::Kind::Correction: return QLatin1StringView("correction");
    case Change::Kind::Withdrawal: return QLatin1StringView("withdrawal");
    case Change::Kind::Restoration: return QLatin1StringView("restoration");
    case Change::Kind::ImportUndone: return QLatin1StringView("import undone");
    case Change::Kind::ImportRestored: return QLatin1StringView("import restored");
    }
    return {};
}

Change::Kind kindOf(const QString &text)
{
    for (const Change::Kind kind : {Change::Kind::Withdrawal, Change::Kind::Restoration, Change::Kind::ImportUndone,
                                    Change::Kind::ImportRestored}) {
        if (text == kindText(kind))
            return kind;
    }
    return Change::Kind::Correction;
}

QVariant rowText(const std::optional<store::ObservationRow> &row)
{
    if (!row)
        return QVariant(QMetaType::fromType<QString>());
    const QJsonArray values{row->star,    row->magnitude, row->estimate, row->obsdate,
                            row->obscode, row->notes,     row->chart};
    return QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
}

std::optional<store::ObservationRow> rowOf(const QString &text)
{
    const QJsonArray values = QJsonDocument::fromJson(text.toUtf8()).array();
    if (values.size() != 7)
        return std::nullopt;
    const auto at = [&values](int i) { return values.at(i).toString(); };
    return store::ObservationRow{at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
}

QVariant optionalNumber(const std::optional<qint64> &number)
{
    return number ? QVariant(*number) : QVariant(QMetaType::fromType<qint64>());
}

Change changeAt(const store::Statement &row)
{
    Change change;
    change.id = row.value(0).toLongLong();
    change.at = row.text(1);
    change.kind = kindOf(row.text(2));
    change.report = row.text(3);
    change.oldLine = row.text(4);
    change.newLine = row.text(5);
    if (!row.value(6).isNull())
        change.row = row.value(6).toLongLong();
    change.oldRow = rowOf(row.text(7));
    change.newRow = rowOf(row.text(8));
    change.copies = row.value(9).toInt();
    change.pending = row.text(10) == QLatin1String("pending");
    if (!row.value(11).isNull())
        change.undoes = row.value(11).toLongLong();
    change.dismissed = row.value(12).toInt() != 0;
    return change;
}

QString changeColumns()
{
    using namespace store::column;
    return QStringList{id, at, kind, report, oldLine, newLine, row, oldRow, newRow, copies, state, undoes, dismissed}
        .join(u',');
}
}

outcome::Result<bool> store::hasChanges(Database &db)
{
    const auto count =
        countOf(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
                {QString(changesTable)});
    if (!count)
        return count.problem();
    return *count > 0;
}

outcome::Result<QList<store::NumberedRow>> store::observationsMatching(Database &db, const QString &star,
                                                                       const QString &obsdate, const QString &magnitude)
{
    // Through the index on (star, obsdate).
    return rowsOf(db,
                  QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 = ? AND %4 = ? AND %5 = ? ORDER BY rowid")
                      .arg(columnList(cumobs()), cumobs().name, column::star, column::obsdate, column::magnitude),
                  {star, obsdate, magnitude}, [](const Statement &row) {
                      return NumberedRow{
                          row.value(0).toLongLong(),
                          {row.text(1), row.text(2), row.text(3), row.text(4), row.text(5), row.text(6), row.text(7)}};
                  });
}

outcome::Done store::applyChange(Database &db, Change &change)
{
    if (change.row && change.kind == Change::Kind::Withdrawal) {
        if (outcome::Done removed = Statement::write(
                db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(cumobs().name), {*change.row});
            !removed)
            return removed;
    } else if (change.row && change.newRow) {
        const ObservationRow &row = *change.newRow;
        // In place: the row keeps its number, so it keeps its place among the star's rows.
        if (outcome::Done updated = Statement::write(
                db,
                QStringLiteral("UPDATE %1 SET (%2) = (%3) WHERE rowid = ?")
                    .arg(cumobs().name, columnList(cumobs()), placeholders(cumobs().columns.size())),
                {row.star, row.magnitude, row.estimate, row.obsdate, row.obscode, row.notes, row.chart, *change.row});
            !updated)
            return updated;
    } else if (change.newRow) {
        // Added back by a restoration, or to a line that had lost its row with its correction.
        if (outcome::Done added = addObservation(db, *change.newRow); !added)
            return added;
        const auto number = countOf(db, QStringLiteral("SELECT last_insert_rowid()"));
        if (!number)
            return number.problem();
        change.row = *number;
    }
    const auto orNull = [](const QString &text) {
        return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
    };
    if (outcome::Done written = Statement::write(
            db,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (NULL, %3)")
                .arg(changesTable, changeColumns(), placeholders(12)),
            {change.at, QString(kindText(change.kind)), change.report, orNull(change.oldLine), orNull(change.newLine),
             optionalNumber(change.row), rowText(change.oldRow), rowText(change.newRow), change.copies,
             change.pending ? QStringLiteral("pending") : QStringLiteral("done"), optionalNumber(change.undoes),
             change.dismissed ? 1 : 0});
        !written)
        return written;
    const auto id = countOf(db, QStringLiteral("SELECT last_insert_rowid()"));
    if (!id)
        return id.problem();
    change.id = *id;
    return {};
}

outcome::Done store::markDone(Database &db, qint64 id)
{
    return Statement::write(
        db, QStringLiteral("UPDATE %1 SET %2 = 'done' WHERE %3 = ?").arg(changesTable, column::state, column::id),
        {id});
}

outcome::Result<QList<store::Change>> store::pendingChanges(Database &db, const QString &report)
{
    return rowsOf(db,
                  QStringLiteral("SELECT %1 FROM %2 WHERE %3 = 'pending' AND %4 = ? ORDER BY %5")
                      .arg(changeColumns(), changesTable, column::state, column::report, column::id),
                  {report}, changeAt);
}

outcome::Result<QList<store::Change>> store::changesOfRowsAfter(Database &db, qint64 after)
{
    return rowsOf(db,
                  QStringLiteral("SELECT %1 FROM %2 WHERE %3 > ? AND %4 IS NOT NULL ORDER BY %3")
                      .arg(changeColumns(), changesTable, column::id, column::row),
                  {after}, changeAt);
}

outcome::Result<QStringList> store::reportsPending(Database &db)
{
    return textsOf(db,
                   QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE %3 = 'pending' ORDER BY %1")
                       .arg(column::report, changesTable, column::state));
}

outcome::Result<QList<store::Change>> store::changesNewestFirst(Database &db)
{
    return rowsOf(db,
                  QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 DESC").arg(changeColumns(), changesTable, column::id),
                  {}, changeAt);
}

outcome::Result<std::optional<store::Change>> store::lastUndoable(Database &db)
{
    const auto changes = rowsOf(db,
                                QStringLiteral("SELECT %1 FROM %2 AS c WHERE %3 IS NULL AND NOT EXISTS "
                                               "(SELECT 1 FROM %2 AS u WHERE u.%3 = c.%4) ORDER BY %4 DESC LIMIT 1")
                                    .arg(changeColumns(), changesTable, column::undoes, column::id),
                                {}, changeAt);
    if (!changes)
        return changes.problem();
    return changes->isEmpty() ? std::optional<Change>() : std::optional(changes->constFirst());
}

outcome::Result<QList<qint64>> store::correctedAmong(Database &db, const QList<qint64> &rows)
{
    QStringList numbers;
    for (const qint64 number : rows)
        numbers.append(QString::number(number));
    return rowsIn(db,
                  QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE %3 = 'correction' AND %1 IN (%4)")
                      .arg(column::row, changesTable, column::kind),
                  numbers, [](const Statement &row) { return row.value(0).toLongLong(); });
}

outcome::Result<qint64> store::countWithdrawnOf(Database &db, const QString &star)
{
    return countOf(db,
                   QStringLiteral("SELECT COUNT(*) FROM %1 AS w WHERE %2 = 'withdrawal' AND %3 IS NOT NULL "
                                  "AND json_extract(%3, '$[0]') = ? COLLATE NOCASE "
                                  "AND NOT EXISTS (SELECT 1 FROM %1 AS u WHERE u.%4 = w.%5)")
                       .arg(changesTable, column::kind, column::oldRow, column::undoes, column::id),
                   {star});
}

outcome::Done store::dismiss(Database &db, qint64 id)
{
    return Statement::write(
        db, QStringLiteral("UPDATE %1 SET %2 = 1 WHERE %3 = ?").arg(changesTable, column::dismissed, column::id), {id});
}
