// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// What the program's files need of the file system beyond Qt: reasons worded
// for the observer, and new files that appear whole or not at all.
namespace appfiles
{
// Why a file operation failed, from the system's error number, worded for the
// observer: "the disk is full", "permission denied", "it is a folder, not a
// file", or the system's own text for the rarer causes.
QString describeError(int errnum);

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
}
