// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QString>

#include <optional>

namespace observe
{

// The summary of a star's earlier observations under its chart: never,
// earlier tonight, or how many days ago, counted in whole Julian days.
namespace modEntryscreen
{
// The obsdate of the star's newest observation: the first in descending
// text order of obsdate, the star's name matched without regard to letter
// case. Nothing when there is none.
outcome::Result<std::optional<QString>> newestObsdate(const appfiles::Folder &appFolder, const QString &star);

// A Julian Date text ("2459124.375") as a whole day number, halves to the
// even neighbour. Nothing when the text is not a number or lies beyond a
// 32-bit whole number.
std::optional<qint32> wholeDay(const QString &obsdate);

// What lblPrevious says for the star's newest obsdate (nothing: no
// observations) and today's day number. Failed, for the box "Previous
// observations", when the newest obsdate is not a number.
outcome::Result<QString> previousCaption(const QString &star, const std::optional<QString> &newest, qint32 daynumber);
}

} // namespace observe
