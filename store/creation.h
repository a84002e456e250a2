// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QString>

namespace store
{
// Creates the database file with both tables, the unique index on the star
// name and the seed row. It is built under a name of its own beside it and
// appears whole or not at all; a file that exists already, or that another
// program puts in place meanwhile, is never touched and the call fails (a
// duplicate). Nothing is left behind on failure, so the next start tries
// again.
outcome::Done createDefault(const appfiles::Folder &appFolder);
}
