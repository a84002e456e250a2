// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <optional>

namespace app
{
// The program's command line. An option (--help, --version, --check,
// --positions, --tonight, or one it does not know) runs as a command: it
// opens no window, creates no file or folder, touches nothing in the
// program's folder but what it is for (--positions stores positions in the
// database), prints to the standard output and error, and its exit status
// ends the program. None when the arguments ask for the windows.
std::optional<int> runCommand(int argc, char *argv[]);
}
