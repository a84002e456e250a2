// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

namespace ferrow
{
// The colour an OLE colour value stands for in one palette group: either
// B*65536 + G*256 + R, or (high bit set) a system colour index looked up in
// the application palette.
QColor oleColour(uint value, QPalette::ColorGroup group);
}
