// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/boundedread.h"

#include "appfiles/filesystem.h"

#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace
{
QString sizeText(qint64 bytes)
{
    constexpr qint64 mega = 1024 * 1024;
    return bytes % mega == 0 ? QStringLiteral("%1 MB").arg(bytes / mega) : QStringLiteral("%1 KB").arg(bytes / 1024);
}
}

QString appfiles::largerThan(qint64 limit)
{
    return QStringLiteral("it is larger than %1").arg(sizeText(limit));
}

outcome::Result<QByteArray> appfiles::readBounded(const QString &path, qint64 limit, const TooLarge &tooLarge)
{
    return readBounded(QFile::encodeName(path), limit, tooLarge);
}

outcome::Result<QByteArray> appfiles::readBounded(const QByteArray &name, qint64 limit, const TooLarge &tooLarge)
{
    const auto refuse = [limit, &tooLarge](qint64 size) {
        return outcome::refused(tooLarge ? tooLarge(size) : largerThan(limit));
    };
    const outcome::Result<OpenedFile> opened = openRegular(name);
    if (!opened)
        return opened.problem();
    const int fd = opened->descriptor;
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    if (opened->size > limit)
        return refuse(opened->size);
    // Room for one byte more than the size told: some files tell none, and a
    // file may grow while it is read.
    QByteArray bytes(static_cast<qsizetype>(opened->size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                return refuse(got);
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit + 1, 2 * got + 65536)));
        }
        const ssize_t count = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return outcome::failed(describeError(errno));
        if (count == 0)
            break;
        got += count;
    }
    if (got > limit)
        return refuse(got);
    bytes.truncate(got);
    return bytes;
}
