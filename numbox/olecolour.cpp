// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/olecolour.h"

#include <QGuiApplication>

namespace
{
QPalette::ColorRole systemRole(uint index)
{
    switch (index) {
    case 4: return QPalette::Window; // menu
    case 5: return QPalette::Base; // window
    case 7: return QPalette::WindowText; // menu text
    case 8: return QPalette::Text; // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button; // button face
    case 16: return QPalette::Dark; // button shadow
    case 17: return QPalette::PlaceholderText; // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light; // button highlight
    case 21: return QPalette::Shadow; // 3D dark shadow
    case 22: return QPalette::Midlight; // 3D light
    case 23: return QPalette::ToolTipText; // info text
    case 24: return QPalette::ToolTipBase; // info background
    default: return QPalette::Window;
    }
}
}

QColor ferrow::oleColour(uint value, QPalette::ColorGroup group)
{
    if (value & 0x80000000u)
        return QGuiApplication::palette().color(group, systemRole(value & 0xFFu));
    return QColor(value & 0xFFu, (value >> 8) & 0xFFu, (value >> 16) & 0xFFu);
}
