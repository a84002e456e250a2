// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "store/sequences.h"
#include "varstars/elements.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reports
{

// The checks after an estimate: warnings, never refusals, of what looks
// implausible in an observation beside its comparison stars, the star's type
// and range and the observer's own estimates of the days before. Shown only
// once the estimate is recorded: seen before, they would bias it.
namespace plausibility
{
// An observation as its report line writes it.
struct Estimate
{
    // The line of the report, counted from 1; 0 for the line just recorded.
    int line = 0;
    QString star;
    QString date;
    // "<" first for a fainter-than estimate.
    QString magnitude;
    QString comp1;
    QString comp2;
    // What the observer wrote at the eyepiece, as cumobs keeps it; empty
    // when unknown, as for a report's line without its row (the initializer
    // lets a line's reader leave it out).
    QString written = {};
    // The chart ID of the line; empty when unknown.
    QString chart = {};
};

// One of the observer's earlier observations of the star.
struct Earlier
{
    double jd = 0;
    double magnitude = 0;
    bool fainterThan = false;
};

// What is known of a star beyond the estimate.
struct StarFacts
{
    // From the planner's positions: its type and range; nothing without a record.
    std::optional<varstars::Elements> elements;
    // The catalogue's nightly flag; nothing when the star is not in the catalogue.
    std::optional<bool> nightly;
    // The observer's observations of the star in the days before its
    // estimates, by date; those before an estimate's date are its history.
    QList<Earlier> history;
};

// A chart's comparison stars as the rules ask for them, made once per chart.
using ChartLabels = store::ChartLabels;

struct Warning
{
    // The rule: "sequence", "bracket", "notation", "jump", "limits", "range" or "dates".
    QString rule;
    // The values compared, worded for the observer.
    QString reason;
};

// The largest plausible distance of an estimate from its bracket of
// comparison stars, or from its one comparison star, or from the star's range.
inline constexpr double extrapolation = 0.5;
// How closely a fainter-than limit gives the fainter comparison star, and
// a magnitude the one its notation gives.
inline constexpr double limitTolerance = 0.05;
// How far back the history counts for a jump, and for a limit.
inline constexpr double jumpDays = 2;
inline constexpr double limitDays = 3;

// Every warning the estimate deserves, in the order of the rules. With the
// comparison stars of the line's chart, its labels are held against them and
// a label unique on the chart brackets by the chart's V.
QList<Warning> warnings(const Estimate &estimate, const StarFacts &facts, const ChartLabels &sequence = {});

// The warning as one text naming the line (or, just recorded, the star),
// the values compared and the rule.
QString text(const Estimate &estimate, const Warning &warning);
}

} // namespace reports
