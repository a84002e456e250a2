// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A file that the observer or another program may have put anything in,
// read whole but never more than a limit: a device, a named pipe or a folder
// is refused before a byte is read, and a file that grows while it is read
// is not read past the limit.
namespace appfiles
{
struct BoundedRead
{
    // Missing and NotAFile as for openRegular().
    enum Status { Read, Missing, NotAFile, Failed, TooLarge };
    Status status = Failed;
    QByteArray bytes;
    // For TooLarge: the size the file told, or the bytes read before the limit.
    qint64 size = 0;
    // Why it was not read, worded for the observer: "it does not exist", "it
    // is a device, not a file", "it is larger than 20 MB".
    QString reason;
};

// Opens the file by the bytes of its name as the system gives them, so that
// a name not valid in the system's encoding is found too; links are followed.
BoundedRead readBounded(const QByteArray &name, qint64 limit);
BoundedRead readBounded(const QString &path, qint64 limit);
}
