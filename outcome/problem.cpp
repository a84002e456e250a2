// SPDX-License-Identifier: GPL-2.0-or-later
#include "outcome/problem.h"

namespace outcome
{

Problem &Problem::inField(const QString &name)
{
    field = name;
    return *this;
}

Problem &Problem::titled(const QString &boxTitle)
{
    title = boxTitle;
    return *this;
}

Problem &Problem::as(Severity boxSeverity)
{
    severity = boxSeverity;
    return *this;
}

Problem refused(const QString &message, const QString &field)
{
    return Problem{Kind::Refused, message, field, {}, Severity::Critical};
}

Problem notFound(const QString &message)
{
    return Problem{Kind::NotFound, message, {}, {}, Severity::Critical};
}

Problem duplicate(const QString &message)
{
    return Problem{Kind::Duplicate, message, {}, {}, Severity::Critical};
}

Problem busy(const QString &message)
{
    return Problem{Kind::Busy, message, {}, {}, Severity::Critical};
}

Problem failed(const QString &message)
{
    return Problem{Kind::Failed, message, {}, {}, Severity::Critical};
}

} // namespace outcome
