// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "folder.h"

#include <QByteArray>
#include <QString>

#include <optional>

// "header.txt", the block every daily report begins with: plain text in the
// report code page, lines ended by CR LF, copied into reports byte for byte.
namespace appfiles
{
struct HeaderRead
{
    enum Status { Read, Missing, Unreadable };
    Status status = Missing;
    QByteArray bytes;
    // Why it could not be read, for Unreadable.
    QString reason;
};

HeaderRead readHeader(const Folder &folder);

// The observer code the default header holds as an example, "KTV": each
// observer must put his or her own in its place.
QString exampleObserverCode();

// Saves text whose lines are separated by "\n" with CR LF line ends, whole
// or not at all: a failed save leaves an earlier header as it was. The
// reason it failed, worded for the observer, or nothing.
std::optional<QString> writeHeader(const Folder &folder, const QString &text);
}
