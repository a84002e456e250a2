// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>

// Whole copies of a database file, made and put back by the engine itself
// (its online backup), so that a copy is consistent while other handles and
// programs go on writing, and putting one back is one transaction of the
// database it replaces. The problems' messages are the reason alone, worded
// for the observer to follow a colon ("the disk is full").
namespace store
{
enum class CopyFrom {
    // The program's own database: a journal a crash left is played back first,
    // as any handle of the program would.
    Live,
    // A file someone hands over, opened for reading only: a journal left beside
    // it is named as the reason it cannot be read.
    Given,
};

// Copies the database at from into a new file at to, which must not exist; to
// is left to the caller to remove when the copy fails. The copy goes a few
// hundred pages at a time, and other handles and programs write between two
// steps, so that none of them waits for it more than a moment; a write by
// another handle starts the copy again. Busy when another program holds the
// database for seconds, or changes it all the time.
outcome::Done copyDatabase(const QString &from, const QString &to, CopyFrom source);

// The engine's full check of the file's structure (every page, every index
// against its table), reading only; failed, with the engine's first findings,
// when it finds a fault.
outcome::Done checkIntegrity(const QString &path);

// Writes the database at copy over the database at live, in one transaction
// of live under live's own journal: whoever has live open sees the old
// database or the new one, and a crash at any moment leaves the old one,
// which the next handle plays back from the journal. Live must be a database.
outcome::Done restoreInto(const QString &copy, const QString &live);
}
