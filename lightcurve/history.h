// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace lightcurve
{
// One observation of the star as the curve draws it. The texts of its row
// are read when asked for (readDetails): a history of 100,000 is read
// quickly only without them.
struct Observation
{
    double jd = 0.0;
    // The estimate, or for a fainter-than observation the limit.
    double magnitude = 0.0;
    // The row of cumobs it came from.
    qint64 row = 0;
    bool fainterThan = false;
    // Its line is in a report file of "obs": recorded on this computer.
    bool recorded = false;
    // Its line is in today's report.
    bool tonight = false;
    // The comparison stars of its report line; empty when not known.
    QString comp1;
    QString comp2;
};

struct History
{
    QString star;
    // In the order of their Julian Dates.
    QList<Observation> observations;
    // Rows whose date or magnitude is not a number (or the date none of the
    // years 1 to 9999): left out, never drawn at 0.
    int undrawn = 0;
};

// Every cumobs row of the star (letter case ignored), told recorded from
// imported by the report files of "obs", and tonight's by today's report.
// The problem says, naming the star, why its observations cannot be read.
outcome::Result<History> readHistory(const appfiles::Folder &appFolder, const QString &star, const QDate &today);

// The texts of an observation's cumobs row, as stored.
struct Details
{
    QString obsdate;
    QString magnitude;
    QString estimate;
    QString obscode;
    QString notes;
    QString chart;
};

// Not found when the row is gone.
outcome::Result<Details> readDetails(const appfiles::Folder &appFolder, qint64 row);

// What the plot tells of an observation: its date in UT, Julian Date,
// magnitude or limit, the comparison stars when known, chart, notes and
// where it came from. Without details, what the curve knows.
QString describe(const Observation &observation, const outcome::Result<Details> &details);
}
