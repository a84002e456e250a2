// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "reports/plausibility.h"
#include "reports/reportindex.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reports
{

namespace plausibility
{
// What the checks after an estimate know of the stars of some estimates,
// read at once.
struct Known
{
    // By the star's name in lower case, as the database compares names.
    QHash<QString, StarFacts> stars;
    // The comparison stars of the estimates' charts, by the chart ID in upper case.
    QHash<QString, ChartLabels> sequences;
    // Why rules were not applied: no database, no star types.
    QStringList notes;
    // The reports around the estimates that were passed over.
    QList<UnreadReport> unread;

    StarFacts of(const QString &star) const;
    ChartLabels sequenceOf(const QString &chart) const;
};

// Reads what the rules need for the estimates from the program's folder,
// through a handle that only reads: the comparison stars of their charts,
// each star's record in the planner's
// positions and in the catalogue, and for a star whose estimates may not
// jump, the observer's observations from a few days before its first
// estimate to its last, each star's once. A row is fainter-than when its line
// in a report of "obs", or its estimate, begins with "<". Without a
// database, or without star types, the rules that need them are left out
// with a note.
Known readKnown(const std::optional<appfiles::Folder> &appFolder, const QList<Estimate> &estimates);

// Gives each estimate what the observer wrote at the eyepiece, from its
// cumobs row (rowpairing.h), read through a handle that only reads. A line
// without its row gets nothing, and so does every line when the database
// cannot be read, which readKnown tells.
void readWritten(const appfiles::Folder &appFolder, QList<Estimate> &estimates);

// Why a report passed over matters, from the reason it was not read.
QString unreadWarning(const QString &reason);
}

} // namespace reports
