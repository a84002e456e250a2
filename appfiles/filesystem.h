// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the program's files need of the file system beyond Qt: reasons worded
// for the observer, and new files that appear whole or not at all.
namespace appfiles
{
// Why a file operation failed, from the system's error number, worded for the
// observer: "the disk is full", "permission denied", "it is a folder, not a
// file", or the system's own text for the rarer causes.
QString describeError(int errnum);

// A regular file open for reading, closed by the caller.
struct OpenedFile
{
    int descriptor = -1;
    qint64 size = 0;
};

// Opens a file for reading only when it is a regular file, links followed.
// Nothing in its place ever holds the program up: a pipe or a device is
// refused before it is opened, and the opening itself never waits. The
// problem's message is the reason alone, worded for the observer: not found
// when nothing is there (or a link to nothing), refused for a folder, a pipe,
// a device or a socket, which is never read, failed when opening failed.
outcome::Result<OpenedFile> openRegular(const QString &path);
// The same by the bytes of the name as the system gives them, so that a name
// not valid in the system's encoding is found too.
outcome::Result<OpenedFile> openRegular(const QByteArray &name);

// "it is a link to "…", which does not exist" when path is a symbolic link
// to nothing; else nothing. Such a link is no missing file to be made anew:
// it often leads to a disk that is not there now.
std::optional<QString> danglingLink(const QString &path);

struct NewFile
{
    // Empty when none could be created; error then holds the error number.
    QString path;
    int descriptor = -1;
    int error = 0;
};

// An empty file in the folder of path, under a hidden name of its own that no
// other file has, open for writing. Its permissions are those of any new file.
NewFile createBeside(const QString &path);

// A file beside path holding bytes, on the disk and closed: its name, or
// the error number when it could not be written (nothing of it stays then).
struct Written
{
    QString path;
    int error = 0;
};
Written writeBeside(const QString &path, const QByteArray &bytes);

// Puts the folder's entries on the disk (fsync of the folder itself), so that
// a name given or taken away survives a power cut; 0 or the error number.
int flushFolder(const QString &path);

enum class Placed {
    Moved,
    // A file of that name was there already: both were left as they are.
    Taken,
    Failed,
};

// Gives a file this program created the name path, but never in place of a
// file that has it: of two programs placing a file at once, one wins and the
// other is told Taken. errnum is set for Failed.
Placed placeNew(const QString &temporary, const QString &path, int *errnum);

// Gives a file this program created and flushed the name path in place of
// the file there, and flushes the folder, so that after a crash the name
// holds the old file or the new one whole. 0, or the error number.
int replaceWith(const QString &temporary, const QString &path);

// Which file a descriptor or a name is: a file renamed over another is
// another file.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};
std::optional<FileIdentity> identityOf(int descriptor);
std::optional<FileIdentity> identityOf(const QString &path);
}
