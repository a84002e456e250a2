// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <Qt>

class QKeyEvent;

// The key and mouse codes the control's events carry.
namespace ferrow::keycodes
{
// Windows virtual-key code of the key (US layout for symbol keys); 0 when the
// key has none.
short virtualKey(const QKeyEvent *event);
// 1 shift + 2 ctrl + 4 alt.
short shiftState(Qt::KeyboardModifiers modifiers);
// 1 left, 2 right, 4 middle.
short mouseButton(Qt::MouseButton button);
}
