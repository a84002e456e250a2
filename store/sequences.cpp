// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/sequences.h"

#include "store/schema.h"
#include "store/statement.h"

namespace
{
using store::SequenceChange;

QVariant optionalNumber(const std::optional<double> &number)
{
    return number ? QVariant(*number) : QVariant(QMetaType::fromType<double>());
}

std::optional<double> numberAt(const store::Statement &row, int column)
{
    const QVariant value = row.value(column);
    return value.isNull() ? std::nullopt : std::optional(value.toDouble());
}

QLatin1StringView kindText(SequenceChange::Kind kind)
{
    switch (kind) {
    case SequenceChange::Kind::Magnitude: return QLatin1StringView("magnitude");
    case SequenceChange::Kind::Label: return QLatin1StringView("label");
    case SequenceChange::Kind::Dropped: return QLatin1StringView("dropped");
    }
    return {};
}

SequenceChange::Kind kindOf(const QString &text)
{
    for (const auto kind : {SequenceChange::Kind::Label, SequenceChange::Kind::Dropped}) {
        if (text == kindText(kind))
            return kind;
    }
    return SequenceChange::Kind::Magnitude;
}

QString starColumns()
{
    using namespace store::column;
    return QStringList{chart, auid, label, vMag, vError, comments, readAt}.join(QStringLiteral(", "));
}

QString changeColumns()
{
    using namespace store::column;
    return QStringList{chart, at, auid, kind, label, newLabel, oldV, newV}.join(QStringLiteral(", "));
}
}

outcome::Result<bool> store::hasSequences(Database &db)
{
    const auto count =
        countOf(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN (?, ?)"),
                {QString(sequencesTable), QString(sequenceChangesTable)});
    if (!count)
        return count.problem();
    return *count == 2;
}

outcome::Result<QList<store::SequenceStar>> store::sequencesOf(Database &db, const QStringList &charts)
{
    return rowsIn(
        db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (%4)").arg(starColumns(), sequencesTable, column::chart),
        charts, [](const Statement &row) {
            return SequenceStar{row.text(0),      row.text(1), row.text(2), numberAt(row, 3),
                                numberAt(row, 4), row.text(5), row.text(6)};
        });
}

outcome::Done store::replaceSequence(Database &db, const QString &chart, const QList<SequenceStar> &stars,
                                     const QList<SequenceChange> &changes)
{
    outcome::Done done =
        Statement::write(db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(sequencesTable, column::chart), {chart});
    const QString insertStar =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(sequencesTable, starColumns(), placeholders(7));
    for (qsizetype i = 0; done && i < stars.size(); ++i) {
        const SequenceStar &star = stars.at(i);
        done = Statement::write(db, insertStar,
                                {chart, star.auid, star.label, optionalNumber(star.v), optionalNumber(star.vError),
                                 star.comments, star.readAt});
    }
    const QString insertChange =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(sequenceChangesTable, changeColumns(), placeholders(8));
    for (qsizetype i = 0; done && i < changes.size(); ++i) {
        const SequenceChange &change = changes.at(i);
        done = Statement::write(db, insertChange,
                                {chart, change.at, change.auid, QString(kindText(change.kind)), change.label,
                                 change.newLabel, optionalNumber(change.oldV), optionalNumber(change.newV)});
    }
    return done;
}

outcome::Result<QList<store::SequenceChange>> store::untoldChanges(Database &db, const QString &chart)
{
    return rowsOf(db,
                  QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? AND %4 = 0 ORDER BY %5")
                      .arg(changeColumns(), sequenceChangesTable, column::chart, column::told, column::id),
                  {chart}, [](const Statement &row) {
                      return SequenceChange{row.text(0), row.text(1), row.text(2),      kindOf(row.text(3)),
                                            row.text(4), row.text(5), numberAt(row, 6), numberAt(row, 7)};
                  });
}

outcome::Done store::markTold(Database &db, const QString &chart)
{
    return Statement::write(
        db, QStringLiteral("UPDATE %1 SET %2 = 1 WHERE %3 = ?").arg(sequenceChangesTable, column::told, column::chart),
        {chart});
}

outcome::Result<QStringList> store::recentEstimates(Database &db, const QString &chart, int count)
{
    return textsOf(db,
                   QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %4 DESC LIMIT ?")
                       .arg(column::estimate, cumobs().name, column::chart, column::obsdate),
                   {chart, count});
}
