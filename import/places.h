// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace import
{

// Where the observer may have kept a download: the places Drive1 offers.
namespace places
{
struct Place
{
    QString name;
    QString path;
};

// A mount the observer brings along: one under the folders where removable
// media are mounted, or a network file system.
bool isRemovableOrNetwork(const QString &rootPath, const QByteArray &fileSystemType);

// The root, the home folder, then each removable or network volume, by name.
QList<Place> mounted(const QString &home);

// The home folder's Downloads folder when there is one, else the home folder.
QString startFolder(const QString &home);

// The index of the place that holds the folder (the longest path that does), or -1.
qsizetype placeOf(const QList<Place> &list, const QString &folder);

// Whether the place can be browsed now; not found, for the box "Drive not
// ready", when its volume is gone or not ready.
outcome::Done ready(const Place &place);
}

} // namespace import
