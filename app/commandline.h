// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"

#include <memory>

namespace app
{
// The program's command line. An option (--help, --version, --check,
// --positions, --sequence, --tonight, --backup, --restore, or one it does not know) runs
// as a command: it opens no window, creates no file or folder but the copies
// of --backup and --restore, touches nothing in the program's folder but what
// it is for (--positions stores positions in the database, --sequence comparison stars, --restore puts a
// copy in its place), prints to the standard output and error, and its exit
// status ends the program.
class CommandLine final
{
public:
    // Reads the arguments before any application object exists: the
    // windows' would want a display.
    CommandLine(int argc, char *argv[]);
    ~CommandLine();
    Q_DISABLE_COPY(CommandLine)

    // No option, no file: the start screen opens.
    bool asksForWindows() const;
    // Runs the command the arguments ask for, with the application object
    // made; returns the exit status.
    int run(const appfiles::Folder &folder) const;

private:
    struct Parsed;
    std::unique_ptr<Parsed> m_parsed;
};
}
