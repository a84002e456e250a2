// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the program asks of the table charts, the catalogue of the observer's
// stars. A star's name is compared without regard to letter case.
namespace store
{
class Database;

// One row of charts, its six columns in table order.
struct ChartRow
{
    QString starname;
    QString chart;
    QString nightly;
    QString picturefile;
    QString finderchart;
    QString constell;
};

outcome::Result<qint64> countCharts(Database &db);
outcome::Result<bool> hasChart(Database &db, const QString &starname);
// Nothing when the catalogue has no star of that name.
outcome::Result<std::optional<ChartRow>> chartOf(Database &db, const QString &starname);
// The rows of the stars named, in no particular order; a name not in the catalogue has none.
outcome::Result<QList<ChartRow>> chartsOf(Database &db, const QStringList &starnames);
// The names of a constellation's stars, in the engine's order of starname.
outcome::Result<QStringList> starsOfConstellation(Database &db, const QString &constell);
// Every chart, by constellation, then name.
outcome::Result<QList<ChartRow>> chartsByConstellation(Database &db);

// Refused, naming the column, when a value is empty or too long; a duplicate
// when the catalogue holds the star already.
outcome::Done addChart(Database &db, const ChartRow &row);
// Writes every column of the row into the row of the star of that name.
outcome::Done changeChart(Database &db, const QString &starname, const ChartRow &row);
outcome::Done removeChart(Database &db, const QString &starname);
}
