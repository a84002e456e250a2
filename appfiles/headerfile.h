// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"

#include <QByteArray>
#include <QString>

#include <optional>

// "header.txt", the block every daily report begins with: plain text in the
// report code page, lines ended by CR LF, copied into reports byte for byte.
namespace appfiles
{
// The most a header may hold, far beyond any real one: reading it stays quick
// whatever file is put in its place.
constexpr qint64 largestHeader = 64 * 1024;

// Why the bytes cannot begin a report, naming the first line at fault, or
// nothing. A header holds 1 byte to largestHeader of 8-bit text without
// control characters (tab, CR and LF aside) and without a byte-order mark,
// and every line that is not empty begins with "#": anything else would be
// taken for observations by whoever reads the report.
std::optional<QString> headerProblem(const QByteArray &bytes);

struct HeaderRead
{
    enum Status {
        Read,
        Missing,
        // It could not be read: permission, a failing disk.
        Unreadable,
        // It is there but cannot begin a report: not a regular file, or a
        // headerProblem().
        Refused,
    };
    Status status = Missing;
    QByteArray bytes;
    // Why, for Unreadable and Refused.
    QString reason;
};

// Reads at most largestHeader bytes, and only from a regular file.
HeaderRead readHeader(const Folder &folder);

// The observer code the default header holds as an example, "KTV": each
// observer must put his or her own in its place.
QString exampleObserverCode();

// Saves text whose lines are separated by "\n" with CR LF line ends, whole
// or not at all: a failed save leaves an earlier header as it was. A text
// that headerProblem() refuses is not saved. The reason it failed, worded
// for the observer, or nothing.
std::optional<QString> writeHeader(const Folder &folder, const QString &text);
}
