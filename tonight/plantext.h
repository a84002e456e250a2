// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "tonight/plan.h"

#include <QString>

namespace tonight
{
// The plan as tab-separated text, one line each ending in "\n": first
// "# dark<TAB>evening<TAB>morning" (UTC, "2026-12-07T17:42Z") or
// "# dark<TAB>none"; then the header row and one row per star in the plan's
// order: angles in degrees with two decimals, times in UTC to the minute,
// empty where a value does not apply; last, when there are any, a "#" line
// naming the stars without a position.
QString planText(const Plan &plan);
}
