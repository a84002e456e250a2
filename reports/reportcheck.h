// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "reports/ledgermatch.h"
#include "reports/visualformat.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace reports
{

// The check of a report file before the observer uploads it: the file read
// as the AAVSO reads it, its dates held against the night it is named
// after, and its observations against the earlier days' reports beside it.
namespace modReportcheck
{
struct Check
{
    QString path;
    int observations = 0;
    // The findings kept: the first 1,000 errors, then the first 1,000
    // warnings, each kind in the order of the lines.
    QList<Finding> findings;
    // Every finding, also those not kept.
    int errors = 0;
    int warnings = 0;
    // What was not checked, and why (no database, no star types).
    QStringList notes;
};

// Checks the file. A file named after a day ("2018-Jan-05.txt") is also held
// against that day's night and against the earlier days' reports in its
// folder. Only a plain file (links followed) of at most 20 MB is read, an
// earlier report too; a date lies in the future only when it lies more than
// five minutes after `now`. Its observations get the checks after an
// estimate (plausibility.h) as warnings, with what the program's folder
// appFolder knows of their stars (its database only read); without it, only
// those of the line alone. A report around them that cannot be read is named
// in a warning, once.
Check checkReport(const QString &path, const QDateTime &now,
                  const std::optional<appfiles::Folder> &appFolder = std::nullopt);
// The same for a file named by the bytes of its name as the system gives
// them, so that a name not valid in the system's encoding is found too.
Check checkReport(const QByteArray &name, const QDateTime &now,
                  const std::optional<appfiles::Folder> &appFolder = std::nullopt);

// The day's report files of a folder, newest first.
QStringList reportFiles(const QString &folder);

// What a check says in one line: "2 errors, 1 warning", "no findings".
QString summary(const Check &check);

// Checks each file, named by the bytes of its name, and writes its findings
// and notes to `out`, one a line. The exit status of the command: 0 when all
// are clean, 1 for warnings, 2 for errors (a file that cannot be read among
// them).
int checkFiles(const QList<QByteArray> &names, const QDateTime &now, QTextStream &out,
               const std::optional<appfiles::Folder> &appFolder = std::nullopt);

// What the AAVSO holds of each report, by the ledger of the program folder's
// database, read without ever creating or changing it.
struct Ledgers
{
    // Said instead of the reports' counts: there is no ledger to read, or
    // no download was imported since it began.
    QString note;
    // One for each file, in their order; none with a note.
    QList<ReportLedger> reports;
};
Ledgers ledgersOf(const appfiles::Folder &appFolder, const QList<QByteArray> &names);

// Writes each file's counts to `out`, then its lines held under another
// name, the same as an earlier line or not at the AAVSO; or the note that
// stands for them.
void printLedgers(const QList<QByteArray> &names, const appfiles::Folder &appFolder, QTextStream &out);
}

} // namespace reports
