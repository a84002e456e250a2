// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace lightcurve
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

// The lines of one star in the report files of "obs", by their date text.
// cumobs keeps no mark of where a row came from: a row whose star and date
// text have a line here was recorded on this computer; any other row was
// imported.
class ReportIndex final
{
public:
    // Reads every report file of the folder once. Lines of other stars, the
    // header's "#" lines and files that cannot be read are passed over.
    static ReportIndex read(const QString &reportsFolder, const QString &star, const QString &todaysFile);

    // The next line not yet taken with this date text: the first row of a
    // date takes the first line, a second row the second.
    std::optional<ReportLine> take(const QString &dateText);

private:
    explicit ReportIndex(const QString &star);
    void readFile(const QString &path, bool tonight);

    // The start of the star's lines: its name and the delimiter, in the code page.
    QByteArray m_star;
    QHash<QString, QList<ReportLine>> m_lines;
};
}
