// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>
#include <QStringView>

namespace import
{

// One line of a file of the observer's observations as downloaded from the
// AAVSO: fields separated by "##", of which fifteen are read.
namespace download
{
inline constexpr int fieldsRead = 15;

// The cumobs row a line makes.
struct Observation
{
    QString star;
    QString obsdate;
    QString magnitude;
    QString obscode;
    QString notes;
    QString estimate;
    QString chart;
    // Field 4 is not "0": the star was fainter than the magnitude.
    bool fainterThan = false;
};

// The row of an observation line, checked so that the database takes it and
// every later reader finds a Julian Date and a magnitude that are numbers.
// A line that makes no row is refused, the message saying why in the
// observer's words ("the magnitude ... is not a number").
outcome::Result<Observation> parseLine(QStringView line);
}

} // namespace import
