// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QVariant>

#include <span>

namespace ferrow
{
// numbox's property interface, in its order.
enum class Property {
    Alignment,
    AutoRedraw,
    BackColor,
    BackStyle,
    BorderStyle,
    CausesValidation,
    Enabled,
    FillColor,
    FillStyle,
    Font,
    FontBold,
    FontItalic,
    FontName,
    FontSize,
    FontTransparent,
    FontUnderline,
    ForeColor,
    Locked,
    MaxLength,
    MouseIcon,
    MultiLine,
    SelLength,
    SelStart,
    SelText,
    Text,
    ToolTipText,
    WhatsThisHelpID,
    minval,
    maxval,
};

// One property: its name (the Qt property's and the saved design's), the
// default a saved design leaves out, and whether a design saves it at all.
struct PropertyInfo
{
    Property id;
    const char *name;
    // Invalid for Font, whose default is the host's ambient font.
    QVariant defaultValue;
    bool saved;
};

// Colours are OLE colour values; these two are the system's window colours.
inline constexpr uint SystemWindowBackground = 0x80000005u;
inline constexpr uint SystemWindowText = 0x80000008u;

// Every property, in interface order.
std::span<const PropertyInfo> properties();
const PropertyInfo &info(Property id);
}
