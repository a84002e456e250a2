// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "store/changes.h"

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>

#include <memory>
#include <optional>

namespace reports
{
// How a data line stands in a report, found by its text, never by its place.
struct LineInReport
{
    // The lines equal to it in all eight fields: one observation written
    // that many times. None when it is not there.
    int copies = 0;
    // Another line has its star, date and magnitude but differs in another
    // field: which row of the database is whose cannot be told.
    bool ambiguous = false;
};
LineInReport findLine(const QByteArray &report, const QString &line);

// The report with the last line equal to line replaced (its line end kept),
// or taken out with its line end when there is no replacement; nothing when
// the line is not there or the replacement has a character the report's
// code page lacks.
std::optional<QByteArray> changedReport(const QByteArray &report, const QString &line,
                                        const std::optional<QString> &replacement);

// The rows of cumobs that may be the line's: more than one when the
// observation was also imported back from a download.
outcome::Result<QList<store::NumberedRow>> rowsOfLine(const appfiles::Folder &appFolder, const QString &line);

// A data line of a report, without its line end, and its row of cumobs.
struct LineAndRow
{
    QString line;
    store::ObservationRow row;
};

struct ChangeRequest
{
    store::Change::Kind kind = store::Change::Kind::Correction;
    // The line as the report holds it, without its line end.
    QString line;
    // For a correction: what replaces the line and its row; for a
    // restoration (line empty), the line added back at the report's end and its row.
    std::optional<LineAndRow> replacement;
    // The row the observer chose among several that match the line.
    std::optional<qint64> row;
    // The line is one a recording cut short left without its row: the line
    // alone goes (or comes back), and only while it has more copies than rows.
    bool lineOnly = false;
    // The change this one takes back.
    std::optional<qint64> undoes = std::nullopt;
};

// A correction or withdrawal of a line of a day's report and of its row,
// both or neither. The report stays locked from the first step to the last,
// so that no recording comes in between; the report is never written in
// place. Killed between any two steps, the report and the table agree once
// completePending() has run: the old line and row, or the new ones.
class ReportChange final
{
public:
    enum class Step {
        Start,
        // The report locked and read, the line and its row found.
        Checked,
        // The changed report written and flushed beside it.
        Written,
        // The row changed and the change recorded, pending, in one transaction.
        Committed,
        // The new file renamed over the report.
        Replaced,
        // The change marked done; the lock let go.
        Done,
    };

    ReportChange(const appfiles::Folder &appFolder, const QString &reportPath, ChangeRequest request);
    ~ReportChange();
    Q_DISABLE_COPY(ReportChange)

    // Takes the next step. A failure before Committed leaves everything as
    // it was; after it, the change is kept and completed later.
    outcome::Done next();
    // Every step, within a second for the lock and the database.
    outcome::Done run();
    Step step() const;
    const store::Change &change() const;

private:
    struct State;
    std::unique_ptr<State> m;
};

// The day's report of "obs" that holds the row's line (its star, date and
// magnitude), one of the reports named for the days around its date, and
// the line as written there.
struct LineOfRow
{
    QString report;
    QString line;
};
std::optional<LineOfRow> lineOfRow(const appfiles::Folder &appFolder, const store::ObservationRow &row);

// Refuses, naming the column as the field to correct, a row that could not
// be stored or written as a report's line: as a recording refuses it, but
// for any date up to a day after nowUtc.
outcome::Done checkRow(const store::ObservationRow &row, const QDateTime &nowUtc);

// A past observation, by its row's number, corrected to the values given or
// withdrawn; its line changes with it, as a line of tonight's report does,
// when a day's report holds it. What was done, worded for the observer
// (saying so when only the row changed).
outcome::Result<QString> correctRow(const appfiles::Folder &appFolder, qint64 row, const store::ObservationRow &values);
outcome::Result<QString> withdrawRow(const appfiles::Folder &appFolder, qint64 row);
// Takes back the newest change not yet taken back, both or neither, itself
// recorded; refused, with the reason, when its line was changed since.
outcome::Result<QString> undoLast(const appfiles::Folder &appFolder);
// What undoLast() runs: the change of its report, or, when no report held
// the line, the change of the row alone.
struct Undo
{
    std::optional<QString> report;
    ChangeRequest request;
    store::Change rowOnly;
    // An undo of an import, taken back by the record of imports.
    std::optional<qint64> importUndone;
};
outcome::Result<Undo> undoOf(const appfiles::Folder &appFolder);

// What a confirmation says when the ledger has the AAVSO holding the line:
// it keeps the observation until the observer asks there; empty otherwise.
QString aavsoHoldsNotice(const appfiles::Folder &appFolder, const QString &line);
// The line a row would be written as, for the questions about it when no report holds it.
QString lineOf(const store::ObservationRow &row);

// Completes the report's changes that were cut short (pending in the record
// of changes), under the report's lock; a change the report holds already
// is only marked done, so it runs any number of times without harm.
outcome::Done completePending(const appfiles::Folder &appFolder, const QString &reportPath,
                              const QDeadlineTimer &deadline);
// The same for every report with one; their names when any stays pending.
outcome::Result<QStringList> completeAllPending(const appfiles::Folder &appFolder);
} // namespace reports
