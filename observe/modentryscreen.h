// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "recording.h"

#include <QString>
#include <QStringList>

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
        // Nothing was kept, or the message says what was.
        Failed,
    };
    Kind kind = Recorded;
    QString message;
};

// Writes the observation as a line of the day's report and a row of cumobs:
// both or neither. Refuses, naming the field, anything that could not be
// stored, before writing anything.
RecordOutcome recordobs(const QString &appFolder, const QString &todaysfile, const ObservationTexts &texts);
}
