// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QString>

// A database made before the lookup indexes and the planner's table existed
// gets them once (store::additionStatements()). Only a
// file that holds exactly this program's tables (the same columns, types
// and lengths) and nothing else is ever changed; anything else is foreign and
// stays as it is, byte for byte.
namespace store
{
enum class Lookups {
    // This program's database with every addition.
    Present,
    // This program's database, lacking some of them.
    Missing,
    // Missing, unreadable, or another structure: not ours to change.
    Foreign,
};

// Reads only; the file is not changed.
Lookups lookups(const appfiles::Folder &appFolder);
// The same of a database file anywhere, such as a copy.
Lookups lookupsOfFile(const QString &path);
// Why a database that lookups() calls foreign never gets the additions,
// worded for the observer to follow "because" or a colon.
QString foreignReason(const appfiles::Folder &appFolder);

// Adds what this program's database lacks, in one
// transaction. Fails, with the reason, when the file is foreign or the
// engine refused; the file is then as it was.
outcome::Done addLookups(const appfiles::Folder &appFolder);
}
