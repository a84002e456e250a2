// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/subfolder.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reports
{
// What a report line tells of an observation beyond its cumobs row.
struct ReportLine
{
    // Field 3 began with "<": the star was fainter than the magnitude.
    bool fainterThan = false;
    // Fields 5 and 6; empty when the line says "na".
    QString comp1;
    QString comp2;
    // The line is in today's report.
    bool tonight = false;
};

// A report file passed over, and why ("it is a named pipe, not a file").
struct UnreadReport
{
    QString path;
    QString reason;
};

// The lines of some stars in the report files of "obs", by their date text.
// cumobs keeps no mark of where a row came from: a row whose star and date
// text have a line here was recorded on this computer; any other row was
// imported. Its row is fainter-than when its line, or else its estimate,
// begins with "<".
class ReportIndex final
{
public:
    // Reads every report file of the folder once, for one star. Lines of
    // other stars and the header's "#" lines are passed over, and so are
    // files that cannot be read: what is no plain file or is larger than any
    // report is never waited for.
    static ReportIndex read(const appfiles::Subfolder &reportsFolder, const QString &star, const QString &todaysFile);
    // Reads the files given once, for the stars given (letter case ignored,
    // as cumobs compares names).
    static ReportIndex read(const QStringList &files, const QStringList &stars, const QString &todaysFile);

    // The next line of the star not yet taken with this date text: the first
    // row of a date takes the first line, a second row the second. The first
    // form is for an index of one star.
    std::optional<ReportLine> take(const QString &dateText);
    std::optional<ReportLine> take(const QString &star, const QString &dateText);

    // The files that are there but were not read, each logged.
    QList<UnreadReport> unread() const;

private:
    explicit ReportIndex(const QStringList &stars);
    void readFile(const QString &path, bool tonight);
    // The star's number, by the name as the code page writes it; -1 for none.
    qsizetype starOf(QByteArrayView name) const;
    std::optional<ReportLine> takeAt(qsizetype star, const QString &dateText);

    // Each star's name in the code page, ASCII letters in lower case, as
    // the engine ignores letter case.
    QHash<QByteArray, qsizetype> m_stars;
    qsizetype m_longest = 0;
    // Per star, its lines by date text.
    QList<QHash<QString, QList<ReportLine>>> m_lines;
    QList<UnreadReport> m_unread;
};
}
