// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "observe/recording.h"
#include "outcome/result.h"
#include "store/changes.h"

#include <QString>
#include <QStringList>

namespace observe
{

namespace modEntryscreen
{
// The catalogue's stars of a constellation, in the engine's order of
// starname (letter case ignored). The problem is titled for the box "Chart
// catalogue".
outcome::Result<QStringList> liststars(const appfiles::Folder &appFolder, const QString &constell);

// Writes the observation as a line of the day's report and a row of cumobs:
// both or neither, with any number of windows and programs recording into the
// one folder. Refuses, naming the field, anything that could not be stored or
// that the report's reader would misread, before writing anything. Waits about
// a second at most for others to let go of the report or the database (busy
// when they have not). Every problem is titled for the box "Observation not
// recorded" and says what was kept: nothing, unless the line is in the report
// though its row is not in cumobs, which the observer must take out by hand:
// that one alone is critical.
outcome::Done recordobs(const appfiles::Folder &appFolder, const QString &todaysfile, const ObservationTexts &texts);

// A line of the day's report taken back into the estimate fields: the texts
// it was written from, with the estimate of its row (the line has none), the
// date and time in whole minutes, and the date text to keep while those are
// not touched.
struct LineTexts
{
    ObservationTexts texts;
    QString dateText;
};
std::optional<LineTexts> textsOfLine(const QString &line, const QString &estimate);

// Replaces the line of the day's report and its row (the one chosen when
// several match) by the observation typed, checked as a recording is; with
// keptDate, the date text the line had. Both or neither; titled for the
// box "Observation not corrected".
outcome::Done correctobs(const appfiles::Folder &appFolder, const QString &todaysfile, const QString &line,
                         std::optional<qint64> row, const ObservationTexts &typed,
                         const std::optional<QString> &keptDate);
// Takes the line and its row out, both or neither; titled for "Observation
// not withdrawn". A line unpairedLines() named goes alone: it has no row.
outcome::Done withdrawobs(const appfiles::Folder &appFolder, const QString &todaysfile, const QString &line,
                          std::optional<qint64> row);
outcome::Done withdrawUnpaired(const appfiles::Folder &appFolder, const QString &todaysfile, const QString &line);

// The data lines of eight fields in the day's report whose observation is
// not in cumobs (the same star, date text and magnitude), as a crash between
// the two leaves them, as written. Reads only.
outcome::Result<QStringList> unpairedLines(const appfiles::Folder &appFolder, const QString &todaysfile);

// The warnings of the checks after an estimate for the observation just
// recorded, as texts naming the star; its own row is no part of its history.
QStringList warningsOf(const appfiles::Folder &appFolder, const ObservationTexts &typed);
}

} // namespace observe
