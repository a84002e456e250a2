// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringList>

namespace observe
{

namespace modEntryscreen
{
// The 88 constellation abbreviations in the order of their Latin names, as
// the observation screen's grid shows them: column 0 top to bottom, then
// column 1 (44 rows each).
const QStringList &constellations();
}

} // namespace observe
