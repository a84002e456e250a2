// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"

#include <QString>

#include <functional>

namespace app
{

// What start-up makes sure of before the start screen is shown: the header
// (the editor opens when "header.txt" is missing), the database and the
// folders "starcharts" and "obs". An existing database is never touched,
// except that this program's own gets its lookup indexes once. A database
// that is a link to nothing stops it: then nothing is written. A change of a
// report cut short is completed.
namespace startup
{
struct Hooks
{
    // Runs at once when the header is missing; start-up does not wait for it.
    std::function<void()> headerMissing;
    // Sets the text of status-bar panel 1 or 2.
    std::function<void(int panel, const QString &text)> status;
};

struct Prepared
{
    // What could not be made, one line per path: the folder must be writable.
    QString failures;
    // Why nothing was made at all, with what mends it; failures is empty then.
    QString stopped;
};

Prepared prepare(const appfiles::Folder &folder, const Hooks &hooks);

// Whether the database is this program's and lacks its lookup indexes.
bool needsIndexing(const appfiles::Folder &appFolder);
// Gives such a database its lookup indexes, telling the work in panel 1 and
// its outcome in panel 2. A foreign or complete database is left as it is.
// Without the indexes everything works, only slower: a failure is told in
// the panel, not in a message box at every start.
void indexObservations(const appfiles::Folder &appFolder, const Hooks &hooks);
}

} // namespace app
