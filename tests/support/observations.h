// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Puts rows into cumobs directly, as an import does: each row its seven
// columns in table order (star, magnitude, estimate, obsdate, obscode,
// notes, chart). False when the engine refuses one.
bool insertObservations(const QString &appFolder, const QList<QStringList> &rows);
// The rows of cumobs in the order they were added, columns in table order
// joined by "|".
QStringList cumobsRows(const QString &appFolder);
// Adds count made-up rows to cumobs at once, each with the notes given, as
// years of observations fill it. False when the engine refuses them.
bool fillObservations(const QString &appFolder, int count, const QString &notes);
