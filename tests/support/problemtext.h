// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>

#include <optional>

// The message of a failed result, or an empty text for a good one: what a
// suite compares or searches when only the wording matters, and what a failed
// comparison with QString() shows. A failure is never an empty text.
template<typename T>
QString problemText(const outcome::Result<T> &result)
{
    if (result)
        return QString();
    return result.problem().message.isEmpty() ? QStringLiteral("(a problem without a message)")
                                              : result.problem().message;
}

// The problem of a failed result, or nothing for a good one.
template<typename T>
std::optional<outcome::Problem> problemOf(const outcome::Result<T> &result)
{
    return result ? std::nullopt : std::optional(result.problem());
}
