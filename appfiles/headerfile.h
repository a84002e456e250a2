// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QByteArray>
#include <QString>

// "header.txt", the block every daily report begins with: plain text in the
// report code page, lines ended by CR LF, copied into reports byte for byte.
namespace appfiles
{
// The most a header may hold, far beyond any real one: reading it stays quick
// whatever file is put in its place.
constexpr qint64 largestHeader = 64 * 1024;

// Whether the bytes may begin a report; refused, naming the first line at
// fault, when not (the message the reason alone, for the caller to word). A
// header holds 1 byte to largestHeader of 8-bit text without control
// characters (tab, CR and LF aside) and without a byte-order mark, and every
// line that is not empty begins with "#": anything else would be taken for
// observations by whoever reads the report.
outcome::Done checkHeader(const QByteArray &bytes);

// Reads at most largestHeader bytes, and only from a regular file. The
// problem's message is the reason alone: not found when there is none yet,
// failed when it could not be read (permission, a failing disk), refused when
// it is there but cannot begin a report (not a regular file, or checkHeader()).
outcome::Result<QByteArray> readHeader(const Folder &folder);

// The observer code the default header holds as an example, "KTV": each
// observer must put his or her own in its place.
QString exampleObserverCode();

// Saves text whose lines are separated by "\n" with CR LF line ends, whole
// or not at all: a failed save leaves an earlier header as it was. A text
// that checkHeader() refuses is not saved (refused); a save that fails is
// failed, saying why.
outcome::Done writeHeader(const Folder &folder, const QString &text);
}
