// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "tonight/angles.h"
#include "tonight/plan.h"
#include "tonight/positionsfile.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace store
{
class Database;
}

// Between the planner and the database: what a plan reads, and positions
// saved for the catalogue's stars only.
namespace tonight
{
// Every star of the catalogue with its position and elements where known,
// and the Julian date of each star's newest observation by starKey.
struct PlanInput
{
    QList<PlanStar> stars;
    QHash<QString, double> newest;
};
outcome::Result<PlanInput> readPlanInput(store::Database &db);

// What a positions file did to the table.
struct PositionsImported
{
    int added = 0;
    int updated = 0;
    // Stars of the file that the catalogue does not have: never stored.
    QStringList unknown;
    QList<Refusal> refusals;
    QStringList warnings;
    // "12 added, 3 updated, 1 refused" (lines); not in the catalogue (2): ..." and the
    // refusals and warnings, one per line.
    QString text() const;
};
// Saves the rows of the catalogue's stars, all or none.
outcome::Result<PositionsImported> importPositions(store::Database &db, const PositionsReading &reading);

// Saves a position typed for one star of the catalogue, keeping what is
// known of its variation; NotFound when the catalogue has no such star.
outcome::Done savePosition(store::Database &db, const QString &star, const Position &position);

// The plan at the moment from the program folder, with the site and the
// stars it was made of.
struct PlannedNight
{
    Site site;
    Plan plan;
    QList<PlanStar> stars;
};
// From the program folder: its site (NotFound without one), its cadences and
// its database.
outcome::Result<PlannedNight> planAt(const appfiles::Folder &appFolder, const QDateTime &moment);
}
