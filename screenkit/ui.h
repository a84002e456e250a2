// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QWidget>

// Screen layouts are drawn up in twips, 15 to a pixel at 96 dots per inch.
namespace screenkit::ui
{
int twips(int value);
void place(QWidget *widget, int left, int top, int width, int height);
void setClientSize(QWidget *window, int width, int height);
// "MS Sans Serif" is mapped to a font that exists on this machine.
QFont msSansSerif(qreal pointSize, bool bold = false);
// The standard dialog font of buttons and windows.
QFont dialogFont();
}
