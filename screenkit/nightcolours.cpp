// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/nightcolours.h"

QPalette screenkit::night::palette()
{
    QPalette palette;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const auto set = [&](QPalette::ColorRole role, QRgb colour) { palette.setColor(group, role, QColor(colour)); };
        set(QPalette::Window, screen);
        set(QPalette::WindowText, text);
        set(QPalette::Base, field);
        set(QPalette::AlternateBase, field);
        set(QPalette::Text, text);
        set(QPalette::Button, field);
        set(QPalette::ButtonText, text);
        set(QPalette::BrightText, text);
        set(QPalette::Light, light);
        set(QPalette::Midlight, light);
        set(QPalette::Mid, screen);
        set(QPalette::Dark, dark);
        set(QPalette::Shadow, black);
        set(QPalette::Highlight, text);
        set(QPalette::HighlightedText, black);
        set(QPalette::ToolTipBase, screen);
        set(QPalette::ToolTipText, text);
        set(QPalette::PlaceholderText, dimText);
        set(QPalette::Link, text);
        set(QPalette::LinkVisited, text);
    }
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(dimText));
    return palette;
}
