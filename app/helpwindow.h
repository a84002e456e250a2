// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "screenkit/navigation.h"

namespace app
{

// Opens the help page of the application folder in the program's one help
// window: at its contents, or at the topic of a context number, which the
// page anchors by the number. Without the page nothing happens.
void showHelp(const appfiles::Folder &folder, screenkit::HelpCommand command, int data);

} // namespace app
