// SPDX-License-Identifier: GPL-2.0-or-later
#include "boundedread.h"

#include "filesystem.h"

#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Why a file of this kind is no file to read, or nothing for a plain file.
QString notAFile(const struct stat &status)
{
    if (S_ISREG(status.st_mode))
        return {};
    if (S_ISDIR(status.st_mode))
        return appfiles::describeError(EISDIR);
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("it is a device, not a file");
    return QStringLiteral("it is not a plain file");
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 mega = 1024 * 1024;
    return bytes % mega == 0 ? QStringLiteral("%1 MB").arg(bytes / mega) : QStringLiteral("%1 KB").arg(bytes / 1024);
}

appfiles::BoundedRead failed(int errnum)
{
    return {appfiles::BoundedRead::Failed, {}, appfiles::describeError(errnum)};
}
}

appfiles::BoundedRead appfiles::readBounded(const QByteArray &name, qint64 limit)
{
    const auto tooLarge = [limit] {
        return BoundedRead{BoundedRead::TooLarge, {}, QStringLiteral("it is larger than %1").arg(sizeText(limit))};
    };
    // Looked at before it is opened: opening a device may set it going.
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return failed(errno);
    if (const QString kind = notAFile(status); !kind.isEmpty())
        return {BoundedRead::Failed, {}, kind};
    // Not waiting in open for the writer of a named pipe put in its place since.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failed(errno);
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &status) != 0)
        return failed(errno);
    if (const QString kind = notAFile(status); !kind.isEmpty())
        return {BoundedRead::Failed, {}, kind};
    if (status.st_size > limit)
        return tooLarge();
    // Room for one byte more than the size told: some files tell none, and a
    // file may grow while it is read.
    QByteArray bytes(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                return tooLarge();
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit + 1, 2 * got + 65536)));
        }
        const ssize_t count = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return failed(errno);
        if (count == 0)
            break;
        got += count;
    }
    if (got > limit)
        return tooLarge();
    bytes.truncate(got);
    return {BoundedRead::Read, bytes, {}};
}
