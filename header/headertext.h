// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QString>
#include <Qt>

namespace header
{
// What the editor shows when it opens, each line ended by "\n".
QString defaultHeader();
// This program's name and version, as the default header's #SOFTWARE gives them.
QString software();
// Whether line 2 of the text still holds the default header's example
// observer code, which the observer must replace by his or her own.
bool holdsExampleCode(const QString &text);
// The eleven lines of instructions beside the editor.
QString instructions();

// Whether a key typed into the editor counts as an edit: any key that types
// a character code, except Ctrl+A (code 1). Keys that type none (arrows,
// Delete) do not count, whatever text the platform gives them.
bool countsAsEdit(int key, Qt::KeyboardModifiers modifiers, const QString &text);

// Saves the editor's text as "header.txt" (lines separated by "\n"), whole or
// not at all. The problem is worded for the box that shows it: the text stays
// in the editor, to be mended and saved again.
outcome::Done saveHeader(const appfiles::Folder &appFolder, const QString &text);
}
