// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <functional>

namespace reports
{
// Opens a day's report with open and locks it (LOCK_SH or LOCK_EX) until
// the deadline, then makes sure it is still the file at the path, else opens
// it again: a change renames a new file over the report, and a lock on the
// old one keeps no one from the new. Every writer and reader of the reports
// locks so. The locked descriptor, or -1 with errnum set (EWOULDBLOCK when
// the time ran out).
int lockReport(const QString &path, const std::function<int()> &open, int operation, const QDeadlineTimer &deadline,
               int *errnum);
}
