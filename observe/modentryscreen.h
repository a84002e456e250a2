// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "observe/recording.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace observe
{

namespace modEntryscreen
{
// The catalogue's stars of a constellation, in the engine's order of
// starname (letter case ignored). Empty, with the reason, on failure.
QStringList liststars(const QString &appFolder, const QString &constell, QString *error);

struct RecordOutcome
{
    enum Kind {
        Recorded,
        // Nothing was written; the message names the field to correct.
        Refused,
        // The message says what was kept: nothing, unless lineWithoutRow.
        Failed,
    };
    Kind kind = Recorded;
    // The field to correct, for Refused.
    std::optional<Field> field;
    QString message;
    // The line is in the report though its row is not in cumobs: the
    // observer must take it out by hand.
    bool lineWithoutRow = false;
};

// Writes the observation as a line of the day's report and a row of cumobs:
// both or neither, with any number of windows and programs recording into the
// one folder. Refuses, naming the field, anything that could not be stored or
// that the report's reader would misread, before writing anything. Waits about
// a second at most for others to let go of the report or the database.
RecordOutcome recordobs(const QString &appFolder, const QString &todaysfile, const ObservationTexts &texts);

struct Unpaired
{
    // The report's data lines that have no row in cumobs, as written.
    QStringList lines;
    std::optional<QString> error;
};

// The data lines of eight fields in the day's report whose observation is
// not in cumobs (the same star, date text and magnitude), as a crash between
// the two leaves them.
// Reads only.
Unpaired unpairedLines(const QString &appFolder, const QString &todaysfile);
}

} // namespace observe
