// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>

#include <optional>

namespace varstars
{
// A magnitude as the index of variable stars writes it: "13.4 V", "12.1: V"
// (uncertain), "<15.2 B" (a limit), "(0.5) V" (an amplitude).
struct Magnitude
{
    enum class Kind { Value, FainterThan, BrighterThan, Amplitude };
    Kind kind = Kind::Value;
    double value = 0;
    bool uncertain = false;
    // "V", "B", "Vis."; empty when none is given.
    QString band;
    // As written.
    QString text;
};

// What is known of a star's variation; each part may be missing.
struct Elements
{
    QString type;
    // Days.
    std::optional<double> period;
    bool periodUncertain = false;
    // A Julian date: a primary minimum (heliocentric) for an eclipsing
    // binary, a maximum for a Mira.
    std::optional<double> epoch;
    std::optional<Magnitude> max;
    std::optional<Magnitude> min;
};

// The brightest and faintest magnitude in one passband.
struct Range
{
    double brightest = 0;
    double faintest = 0;
    QString band;
};

// The range, only where both ends are magnitudes (not limits or an amplitude)
// of one passband (either may leave it unsaid).
std::optional<Range> range(const Elements &elements);

// A magnitude as written, or why it is none.
outcome::Result<Magnitude> parseMagnitude(const QString &text);

// A number as catalogues, files and observers write it, with a point before
// its fraction (a comma is no decimal mark here) and "−" (U+2212) as a minus
// too; nothing when it is none, or not finite ("inf", "nan", too large to
// hold), which no magnitude, period, date or angle can be.
std::optional<double> parseDecimal(const QString &text);
}
