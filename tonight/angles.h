// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>

namespace tonight
{
// Where a star is: J2000, taken as ICRS, in degrees.
struct Position
{
    double ra = 0;
    double dec = 0;
};

// Angles as an observer types them, in degrees. Each takes decimal degrees
// ("52.52") or degrees, minutes and seconds parted by blanks or ":" (° ′ ″ '
// and " too); a minus may be "-" or "−" (U+2212) and stays with the whole
// angle ("-00 30 00" is half a degree south). A refusal names the field
// (txtLatitude, txtLongitude, txtRa, txtDec) and says what to write.
//
// Latitude: north positive, or with N or S before or after; within ±90°.
outcome::Result<double> parseLatitude(const QString &text);
// Longitude: east positive, or with E or W; within ±180°.
outcome::Result<double> parseLongitude(const QString &text);
// Right ascension: hours, minutes and seconds ("12 34 56.7", "12:34:56.7"),
// or a bare number of degrees; 0 to 360°.
outcome::Result<double> parseRightAscension(const QString &text);
// Declination: "±dd mm ss", "±dd:mm:ss" or degrees; within ±90°.
outcome::Result<double> parseDeclination(const QString &text);

// Whether the right ascension was written as a bare number (degrees, though
// a file may mean hours).
bool isBareNumber(const QString &text);
}
