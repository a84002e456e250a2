// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace observe
{

namespace modProcesses
{
// Julian Date of noon of a Gregorian calendar date.
double julianday(qint16 year, qint16 month, float day);

// Julian Date of a time of day (hour, minute) on a calendar date.
double observationJd(qint16 year, qint16 month, float day, int hour, int minute);

// A (positive) Julian Date rounded to four decimals (nightly) or two, in its shortest
// decimal text: "2458124.3958", "2458124.4", "2458123.5".
QString jdText(double jd, bool nightly);
}

} // namespace observe
