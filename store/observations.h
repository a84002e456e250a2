// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/observationkey.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the program asks of the table cumobs, every observation recorded or
// imported. A star's name is compared without regard to letter case; obsdate
// holds the Julian Date as text, so that dates sort as texts do.
namespace store
{
class Database;

// One row of cumobs, its seven columns in table order.
struct ObservationRow
{
    QString star;
    QString magnitude;
    QString estimate;
    QString obsdate;
    QString obscode;
    QString notes;
    QString chart;
};

outcome::Result<qint64> countObservations(Database &db);
outcome::Result<qint64> countObservationsOf(Database &db, const QString &star);
// The star's row of the greatest obsdate; nothing when it has none.
outcome::Result<std::optional<ObservationRow>> newestObservation(Database &db, const QString &star);
// The row by its engine number (rowid); nothing when it is gone.
outcome::Result<std::optional<ObservationRow>> observationAt(Database &db, qint64 row);
// Refused, naming the column, when a value is empty or too long.
outcome::Done addObservation(Database &db, const ObservationRow &row);

// What a light curve draws of a row, read without its other texts: a
// history of 100,000 rows is read quickly only so.
struct ObservationPoint
{
    // The engine's number of the row, for observationAt().
    qint64 row = 0;
    QString obsdate;
    QString magnitude;
    // The estimate begins with "<".
    bool fainterThan = false;
};

// The star's rows by obsdate, found through the index on (star, obsdate).
outcome::Result<QList<ObservationPoint>> observationPointsOf(Database &db, const QString &star);
// A row of one of several stars, with its star as stored.
struct StarPoint
{
    QString star;
    ObservationPoint point;
};

// The rows of the stars named whose obsdate text lies from `from` up to,
// not including, `until`, as texts compare: a few days of long histories,
// through the index on (star, obsdate), in no particular order.
outcome::Result<QList<StarPoint>> observationPointsBetween(Database &db, const QStringList &stars, const QString &from,
                                                           const QString &until);

// The texts a row is told apart from others by, as it holds them, and what
// the observer wrote at the eyepiece.
struct KeyTexts
{
    QString star;
    QString obsdate;
    QString magnitude;
    QString estimate;
};

// The rows of any of the dates (obsdate as text), in no particular order.
outcome::Result<QList<KeyTexts>> observationsOnDates(Database &db, const QStringList &obsdates);

// A slice of every row's key, in the order of the rows.
struct ObservationKeys
{
    // The rows whose date and magnitude are numbers; the others have no key.
    QList<ObservationKey> keys;
    // The engine's number of the slice's last row, where the next slice begins.
    qint64 lastRow = 0;
    // No row follows the slice.
    bool end = false;
};

// The keys of up to `rows` rows after the row afterRow (0: from the first).
// Each slice is a statement of its own, so that others can write in between.
outcome::Result<ObservationKeys> observationKeys(Database &db, qint64 afterRow, int rows);
}
