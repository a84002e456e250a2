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

appfiles::BoundedRead appfiles::readBounded(const QString &path, qint64 limit)
{
    return readBounded(QFile::encodeName(path), limit);
}

appfiles::BoundedRead appfiles::readBounded(const QByteArray &name, qint64 limit)
{
    const auto tooLarge = [limit](qint64 size) {
        return BoundedRead{
            BoundedRead::TooLarge, {}, size, QStringLiteral("it is larger than %1").arg(sizeText(limit))};
    };
    const OpenedFile opened = openRegular(name);
    switch (opened.status) {
    case OpenedFile::Opened: break;
    case OpenedFile::Missing: return {BoundedRead::Missing, {}, 0, opened.reason};
    case OpenedFile::NotAFile: return {BoundedRead::NotAFile, {}, 0, opened.reason};
    case OpenedFile::Failed: return {BoundedRead::Failed, {}, 0, opened.reason};
    }
    const int fd = opened.descriptor;
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    if (opened.size > limit)
        return tooLarge(opened.size);
    // Room for one byte more than the size told: some files tell none, and a
    // file may grow while it is read.
    QByteArray bytes(static_cast<qsizetype>(opened.size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                return tooLarge(got);
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit + 1, 2 * got + 65536)));
        }
        const ssize_t count = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return {BoundedRead::Failed, {}, 0, describeError(errno)};
        if (count == 0)
            break;
        got += count;
    }
    if (got > limit)
        return tooLarge(got);
    bytes.truncate(got);
    return {BoundedRead::Read, bytes, 0, {}};
}
