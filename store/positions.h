// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the planner keeps of each star: where it is and what is known of its
// variation, one row per star of the catalogue, by the catalogue's name.
namespace store
{
class Database;

struct PositionRecord
{
    QString star;
    // J2000 degrees.
    double ra = 0;
    double dec = 0;
    // Empty, or nothing, where not known.
    QString type;
    std::optional<double> period;
    bool periodUncertain = false;
    std::optional<double> epoch;
    // The magnitudes of the range as written ("13.4 V", "<15.2 B").
    QString max;
    QString min;
};

// Every row, in no particular order.
outcome::Result<QList<PositionRecord>> positions(Database &db);
// The rows of the stars named (letter case ignored), in no particular order.
outcome::Result<QList<PositionRecord>> positionsOf(Database &db, const QStringList &stars);
// Whether the table holds any row; false too for a database of an earlier
// version, opened read-only, that has no such table yet.
outcome::Result<bool> hasPositions(Database &db);

struct PositionsSaved
{
    int added = 0;
    int updated = 0;
};

// Adds or updates each star's row, all in one transaction or none. An update
// keeps what the new record leaves unknown (a typed position keeps the type
// and range a file gave).
outcome::Result<PositionsSaved> savePositions(Database &db, const QList<PositionRecord> &records);

// The obsdate of each star's newest observation, by the name given; stars
// never observed are left out. Each is one step through the index on
// (star, obsdate), so a million observations cost no more than a thousand.
outcome::Result<QHash<QString, QString>> newestDates(Database &db, const QStringList &stars);

// Every star of the catalogue, by the engine's order of starname.
outcome::Result<QStringList> catalogueStars(Database &db);
}
