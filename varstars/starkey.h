// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace varstars
{
// The key two spellings of one star's name share: letter case ignored, runs
// of blanks one blank, no blanks at either end, and a V-number without
// leading zeros ("V0404 Cyg" and "v404  CYG" have one key). Compare keys,
// never show them.
QString starKey(const QString &name);
}
