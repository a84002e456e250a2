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
    // A restoration adds back what a withdrawal took: it undoes one. An
    // import undone, and that undo taken back (an import restored, which
    // undoes it), are recorded by the record of imports (importundo.h): the
    // report is the download's name and the old line says what was done;
    // they have no rows and are never pending.
    enum class Kind { Correction, Withdrawal, Restoration, ImportUndone, ImportRestored };

    qint64 id = 0;
    // When it was made, in UTC, as ISO 8601 text.
    QString at;
    Kind kind = Kind::Correction;
    // The report file's name in the folder "obs"; empty when no report held
    // the line, and only the row changed.
    QString report;
    QString oldLine;
    // Empty for a withdrawal; the old line is empty for a restoration.
    QString newLine;
    // The row's engine number; nothing when the line had no row.
    std::optional<qint64> row;
    std::optional<ObservationRow> oldRow;
    std::optional<ObservationRow> newRow;
    // How many lines equal to the old line (the new one, for a restoration)
    // the report held before the change: one fewer (more) once it holds it.
    int copies = 1;
    bool pending = true;
    // The change this one takes back.
    std::optional<qint64> undoes;
    // The observer has read that the AAVSO still holds the old line.
    bool dismissed = false;
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
// place, removed, or added back) and written, pending while its report does
// not hold it yet. Its id and row are set on the change.
outcome::Done applyChange(Database &db, Change &change);
outcome::Done markDone(Database &db, qint64 id);
// The pending changes of the report named, oldest first.
outcome::Result<QList<Change>> pendingChanges(Database &db, const QString &report);
// The changes after the one of that id that concern a row, oldest first.
outcome::Result<QList<Change>> changesOfRowsAfter(Database &db, qint64 id);
// The names of the reports with a pending change.
outcome::Result<QStringList> reportsPending(Database &db);
// Every change, newest first.
outcome::Result<QList<Change>> changesNewestFirst(Database &db);
// The newest change that is no undo and has not been undone; nothing when none is left.
outcome::Result<std::optional<Change>> lastUndoable(Database &db);
// Of the rows given by number, those a change corrected.
outcome::Result<QList<qint64>> correctedAmong(Database &db, const QList<qint64> &rows);
// How many observations of the star were withdrawn and not restored.
outcome::Result<qint64> countWithdrawnOf(Database &db, const QString &star);
outcome::Done dismiss(Database &db, qint64 id);
}
