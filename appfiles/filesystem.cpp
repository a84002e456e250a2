// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int attempts = 16;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}
}

QString appfiles::describeError(int errnum)
{
    switch (errnum) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("the disk is full");
    case EACCES:
    case EPERM: return QStringLiteral("permission denied");
    case EISDIR: return QStringLiteral("it is a folder, not a file");
    case ENOTDIR: return QStringLiteral("a part of the path is not a folder");
    case ENOENT: return QStringLiteral("it does not exist");
    case EROFS: return QStringLiteral("the disk is read-only");
    default: return QString::fromLocal8Bit(std::strerror(errnum));
    }
}

outcome::Result<appfiles::OpenedFile> appfiles::openRegular(const QString &path)
{
    return openRegular(encoded(path));
}

outcome::Result<appfiles::OpenedFile> appfiles::openRegular(const QByteArray &name)
{
    const auto failed = [](int errnum) {
        const bool missing = errnum == ENOENT || errnum == ENOTDIR;
        return missing ? outcome::notFound(describeError(errnum)) : outcome::failed(describeError(errnum));
    };
    const auto notAFile = [](const struct stat &status) {
        const mode_t mode = status.st_mode;
        return outcome::refused(S_ISDIR(mode)                        ? describeError(EISDIR)
                                    : S_ISFIFO(mode)                 ? QStringLiteral("it is a named pipe, not a file")
                                    : S_ISCHR(mode) || S_ISBLK(mode) ? QStringLiteral("it is a device, not a file")
                                                                     : QStringLiteral("it is not a plain file"));
    };
    // Looked at before it is opened: opening a device may already do something.
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return failed(errno);
    if (!S_ISREG(status.st_mode))
        return notAFile(status);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return failed(errno);
    // Something else may have been put in its place meanwhile.
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int errnum = errno;
        ::close(descriptor);
        return S_ISREG(status.st_mode) ? failed(errnum) : notAFile(status);
    }
    return OpenedFile{descriptor, static_cast<qint64>(status.st_size)};
}

std::optional<QString> appfiles::danglingLink(const QString &path)
{
    const QFileInfo link(path);
    if (!link.isSymLink() || link.exists())
        return std::nullopt;
    return QStringLiteral("it is a link to \"%1\", which does not exist").arg(link.symLinkTarget());
}

appfiles::NewFile appfiles::createBeside(const QString &path)
{
    const QFileInfo target(path);
    NewFile file;
    for (int i = 0; i < attempts; ++i) {
        const QString name =
            QStringLiteral(".%1.%2").arg(target.fileName()).arg(QRandomGenerator::global()->generate64(), 0, 36);
        const QString candidate = target.absoluteDir().filePath(name);
        // The permissions any new file gets, as the report and database have always had.
        const int fd = ::open(encoded(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return {candidate, fd, 0};
        file.error = errno;
        if (file.error != EEXIST)
            break;
    }
    return file;
}

appfiles::Written appfiles::writeBeside(const QString &path, const QByteArray &bytes)
{
    const NewFile file = createBeside(path);
    if (file.path.isEmpty())
        return {QString(), file.error};
    qint64 done = 0;
    int errnum = 0;
    while (done < bytes.size() && errnum == 0) {
        const ssize_t n = ::write(file.descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0)
            errnum = ENOSPC;
        else if (errno != EINTR)
            errnum = errno;
    }
    if (errnum == 0 && ::fdatasync(file.descriptor) != 0)
        errnum = errno;
    ::close(file.descriptor);
    if (errnum == 0)
        return {file.path, 0};
    ::unlink(encoded(file.path).constData());
    return {QString(), errnum};
}

int appfiles::flushFolder(const QString &path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

appfiles::Placed appfiles::placeNew(const QString &temporary, const QString &path, int *errnum)
{
    const QByteArray from = encoded(temporary);
    const QByteArray to = encoded(path);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return Placed::Moved;
    if (errno == EEXIST)
        return Placed::Taken;
    // Some file systems cannot rename without replacing; a hard link is
    // refused just as well when the name is taken.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *errnum = errno;
        return Placed::Failed;
    }
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return Placed::Moved;
    }
    if (errno == EEXIST)
        return Placed::Taken;
    *errnum = errno;
    return Placed::Failed;
}

int appfiles::replaceWith(const QString &temporary, const QString &path)
{
    if (::rename(encoded(temporary).constData(), encoded(path).constData()) != 0)
        return errno;
    const int folder = ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return errno;
    const int synced = ::fsync(folder) == 0 ? 0 : errno;
    ::close(folder);
    return synced;
}

std::optional<appfiles::FileIdentity> appfiles::identityOf(int descriptor)
{
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}

std::optional<appfiles::FileIdentity> appfiles::identityOf(const QString &path)
{
    struct stat status = {};
    if (::stat(encoded(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}
