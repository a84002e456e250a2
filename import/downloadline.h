// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

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
};

struct ParsedLine
{
    std::optional<Observation> observation;
    // Why the line makes no row, worded for the observer ("the magnitude ...
    // is not a number"); empty when it makes one.
    QString reason;
};

// The row of an observation line, checked so that the database takes it and
// every later reader finds a Julian Date and a magnitude that are numbers.
ParsedLine parseLine(QStringView line);
}

} // namespace import
