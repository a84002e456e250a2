// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "visualformat.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// The check of a report file before the observer uploads it: the file read
// as the AAVSO reads it, its dates held against the night it is named
// after, and its observations against the earlier days' reports beside it.
namespace modReportcheck
{
struct Check
{
    QString path;
    int observations = 0;
    // Errors first, each kind in the order of the lines.
    QList<Finding> findings;

    int errors() const;
    int warnings() const;
};

// The night a day's report file holds, as Julian Dates: from local midnight
// of its date to local noon of the next day, since a night's observing goes
// on past midnight in the file begun the evening before.
struct Night
{
    double begin = 0;
    double end = 0;
};
Night nightOf(const QDate &date);

// Checks the file. A file named after a day ("2018-Jan-05.txt") is also held
// against that day's night and against the earlier days' reports in its
// folder. A date lies in the future only when it lies more than five
// minutes after `now`.
Check checkReport(const QString &path, const QDateTime &now);

// The day's report files of a folder, newest first.
QStringList reportFiles(const QString &folder);

// What a check says in one line: "2 errors, 1 warning", "no findings".
QString summary(const Check &check);

// Checks each file and writes its findings to `out`, one a line. The exit
// status of the command: 0 when all are clean, 1 for warnings, 2 for errors
// (a file that cannot be read among them).
int checkFiles(const QStringList &paths, const QDateTime &now, QTextStream &out);
}
