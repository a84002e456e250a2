// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <Qt>

namespace header
{
// What the editor shows when it opens, each line ended by "\n".
QString defaultHeader();
// The eleven lines of instructions beside the editor.
QString instructions();

// Whether a key typed into the editor counts as an edit: any key that types
// a character code, except Ctrl+A (code 1). Keys that type none (arrows,
// Delete) do not count, whatever text the platform gives them.
bool countsAsEdit(int key, Qt::KeyboardModifiers modifiers, const QString &text);
}
