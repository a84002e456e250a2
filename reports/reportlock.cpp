// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/reportlock.h"

#include "appfiles/filesystem.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace reports
{

namespace
{
// flock() with a deadline: the window must not freeze behind another program.
// 0 once locked, else the error number (EWOULDBLOCK when the time ran out).
int lockWithin(int descriptor, int operation, const QDeadlineTimer &deadline)
{
    std::chrono::microseconds pause(100);
    while (::flock(descriptor, operation | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || deadline.hasExpired())
            return errno;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(2000));
    }
    return 0;
}

}

int lockReport(const QString &path, const std::function<int()> &open, int operation, const QDeadlineTimer &deadline,
               int *errnum)
{
    // A change renames a new file over the report: a lock on the old one
    // keeps no one from the file at the path, so it is taken again there.
    for (;;) {
        const int descriptor = open();
        if (descriptor < 0) {
            *errnum = errno;
            return -1;
        }
        *errnum = lockWithin(descriptor, operation, deadline);
        if (*errnum == 0 && appfiles::identityOf(descriptor) == appfiles::identityOf(path))
            return descriptor;
        ::close(descriptor);
        if (*errnum != 0)
            return -1;
    }
}

} // namespace reports
