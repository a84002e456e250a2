// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace outcome
{

// What went wrong, in the terms a screen decides on: whether to send the
// observer back to a field, offer to overwrite, or try again later.
enum class Kind {
    // The input breaks a rule; the message names the field to correct.
    Refused,
    // What was asked for is not there (a star, a file, a row).
    NotFound,
    // It is there already (a star of that name, an observation).
    Duplicate,
    // Another program holds the database or the file; trying again may succeed.
    Busy,
    // A file or database operation failed; the message says why.
    Failed,
};

// How a screen shows it: picks the box's icon.
enum class Severity { Critical, Warning, Information };

// A failure worded for the observer. A screen shows it as it is: the message
// is the box's text, the title its title, the severity its icon.
struct Problem
{
    Kind kind = Kind::Failed;
    QString message;
    // The object name of the field to correct (e.g. "txtMagn"), empty when none.
    QString field;
    QString title;
    Severity severity = Severity::Critical;

    Problem &inField(const QString &name);
    Problem &titled(const QString &boxTitle);
    Problem &as(Severity boxSeverity);
};

Problem refused(const QString &message, const QString &field = {});
Problem notFound(const QString &message);
Problem duplicate(const QString &message);
Problem busy(const QString &message);
Problem failed(const QString &message);

} // namespace outcome
