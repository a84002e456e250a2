// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/folderlock.h"

#include "appfiles/filesystem.h"
#include "appfiles/logging.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace appfiles
{
namespace
{
outcome::Problem cannotLock(const Folder &folder, int errnum)
{
    return outcome::failed(
        QStringLiteral("The folder \"%1\" cannot be locked: %2.").arg(folder.path(), describeError(errnum)));
}

outcome::Result<int> openFolder(const Folder &folder)
{
    const int fd = ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return cannotLock(folder, errno);
    return fd;
}

int lockWith(int fd, int operation)
{
    int result = 0;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}
}

FolderLock::FolderLock(int descriptor)
    : m_descriptor(descriptor)
{
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    std::swap(m_descriptor, other.m_descriptor);
    return *this;
}

FolderLock::~FolderLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

outcome::Result<FolderLock> FolderLock::shared(const Folder &folder)
{
    const outcome::Result<int> fd = openFolder(folder);
    if (!fd)
        return fd.problem();
    FolderLock lock(*fd);
    int error = lockWith(*fd, LOCK_SH | LOCK_NB);
    if (error == EWOULDBLOCK) {
        qCInfo(lc).noquote() << QStringLiteral("Waiting for the restore in \"%1\" to end.").arg(folder.path());
        error = lockWith(*fd, LOCK_SH);
    }
    if (error != 0)
        return cannotLock(folder, error);
    return lock;
}

outcome::Result<FolderLock> FolderLock::alone(const Folder &folder)
{
    const outcome::Result<int> fd = openFolder(folder);
    if (!fd)
        return fd.problem();
    FolderLock lock(*fd);
    const int error = lockWith(*fd, LOCK_EX | LOCK_NB);
    if (error == EWOULDBLOCK)
        return outcome::busy(
            QStringLiteral("Another varlume is running in \"%1\": close it, then try again.").arg(folder.path()));
    if (error != 0)
        return cannotLock(folder, error);
    return lock;
}
}
