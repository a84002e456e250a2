#pragma once

#include <QString>
#include <QStringList>

class frmEntryscreen;

namespace modEntryscreen
{
// The catalogue's stars of a constellation, in the engine's order of
// starname (letter case ignored). Empty, with the reason, on failure.
QStringList liststars(const QString &appFolder, const QString &constell, QString *error);

// Writes the observation on the screen as a line of the day's report and a
// row of cumobs: both or neither. Refuses, with one message naming the field,
// anything that could not be stored, before writing anything.
void recordobs(frmEntryscreen &screen);
}
