// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QByteArray>
#include <QString>

#include <functional>

// A file that the observer or another program may have put anything in,
// read whole but never more than a limit: a device, a named pipe or a folder
// is refused before a byte is read, and a file that grows while it is read
// is not read past the limit.
namespace appfiles
{
// Why a file over the limit is not read, from its size (the size the file
// told, or the bytes read before the limit), worded for the observer.
using TooLarge = std::function<QString(qint64 size)>;

// "it is larger than 20 MB": the reason of a file over the limit.
QString largerThan(qint64 limit);

// The bytes of the file, or the problem, its message the reason alone for the
// caller to word into its own ("it does not exist", "it is a device, not a
// file", "it is larger than 20 MB"): not found when nothing is there, refused
// for what is no plain file or is over the limit (worded by tooLarge when
// given), failed when reading failed. The name is opened by its bytes as the
// system gives them, so that a name not valid in the system's encoding is
// found too; links are followed.
outcome::Result<QByteArray> readBounded(const QByteArray &name, qint64 limit, const TooLarge &tooLarge = {});
outcome::Result<QByteArray> readBounded(const QString &path, qint64 limit, const TooLarge &tooLarge = {});
}
