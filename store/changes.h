// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/observations.h"

#include <QList>
#include <QString>

#include <optional>

// The record of changes: every correction and withdrawal of an observation,
// its line in a day's report and its row of cumobs, before and after. A
// change is written pending in the transaction that changes the row, and
// marked done once the report holds it too, so that one cut short is
// completed from here. Nothing is ever removed from it.
namespace store
{
class Database;

struct Change
{
    enum class Kind { Correction, Withdrawal };

    qint64 id = 0;
    // When it was made, in UTC, as ISO 8601 text.
    QString at;
    Kind kind = Kind::Correction;
    // The report file's name in the folder "obs".
    QString report;
    QString oldLine;
    // Empty for a withdrawal.
    QString newLine;
    // The row's engine number; nothing when the line had no row.
    std::optional<qint64> row;
    std::optional<ObservationRow> oldRow;
    std::optional<ObservationRow> newRow;
    // How many lines equal to the old line the report held before the
    // change: one fewer once it holds the change.
    int copies = 1;
    bool pending = true;
};

// A row of cumobs with its engine number.
struct NumberedRow
{
    qint64 row = 0;
    ObservationRow values;
};

// Whether the database has the record of changes: a database of an earlier
// version gets it at start-up, a foreign one never.
outcome::Result<bool> hasChanges(Database &db);

// The rows with this star (any letter case), date text and magnitude, by
// their engine number.
outcome::Result<QList<NumberedRow>> observationsMatching(Database &db, const QString &star, const QString &obsdate,
                                                         const QString &magnitude);

// Within the caller's transaction: the change made to the row (updated in
// place, or removed) and written pending. Its id, set on the change.
outcome::Done applyChange(Database &db, Change &change);
outcome::Done markDone(Database &db, qint64 id);
// The pending changes of the report named, oldest first.
outcome::Result<QList<Change>> pendingChanges(Database &db, const QString &report);
// The names of the reports with a pending change.
outcome::Result<QStringList> reportsPending(Database &db);
}
