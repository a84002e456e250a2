// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/places.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace import
{

namespace
{
bool holds(const QString &place, const QString &folder)
{
    const QString inside = place.endsWith(u'/') ? place : place + u'/';
    return folder == place || folder.startsWith(inside);
}
}

bool places::isRemovableOrNetwork(const QString &rootPath, const QByteArray &fileSystemType)
{
    static const QList<QByteArray> network = {"nfs",        "nfs4",  "cifs",        "smb3", "smbfs", "sshfs",
                                              "fuse.sshfs", "davfs", "fuse.davfs2", "9p",   "afs"};
    for (const QString &media : {QStringLiteral("/media"), QStringLiteral("/run/media"), QStringLiteral("/mnt")}) {
        if (holds(media, rootPath) && rootPath != media)
            return true;
    }
    return network.contains(fileSystemType);
}

QList<places::Place> places::mounted(const QString &home)
{
    QList<Place> list{{QStringLiteral("/"), QStringLiteral("/")}};
    const QString homePath = QDir::cleanPath(home);
    if (homePath != QLatin1String("/"))
        list.append({homePath, homePath});
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isRoot() || !isRemovableOrNetwork(volume.rootPath(), volume.fileSystemType()))
            continue;
        list.append({volume.displayName(), volume.rootPath()});
    }
    return list;
}

QString places::startFolder(const QString &home)
{
    const QString downloads = QDir(home).filePath(QStringLiteral("Downloads"));
    return QFileInfo(downloads).isDir() ? QDir::cleanPath(downloads) : QDir::cleanPath(home);
}

qsizetype places::placeOf(const QList<Place> &list, const QString &folder)
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (holds(list[i].path, folder) && (best < 0 || list[i].path.size() > list[best].path.size()))
            best = i;
    }
    return best;
}

outcome::Done places::ready(const Place &place)
{
    const QStorageInfo volume(place.path);
    if (volume.isValid() && volume.isReady() && QFileInfo(place.path).isDir())
        return {};
    return outcome::notFound(
               QStringLiteral("\"%1\" is not ready. Insert or connect it, then choose it again.").arg(place.name))
        .titled(QStringLiteral("Drive not ready"))
        .as(outcome::Severity::Warning);
}

} // namespace import
