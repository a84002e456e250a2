// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/numboxproperties.h"

#include <QFont>
#include <QPixmap>

#include <array>

namespace ferrow
{
namespace
{
const std::array<PropertyInfo, 29> &table()
{
    static const std::array<PropertyInfo, 29> specs{{
        {Property::Alignment, "Alignment", 0, true},
        {Property::AutoRedraw, "AutoRedraw", false, true},
        {Property::BackColor, "BackColor", SystemWindowBackground, true},
        {Property::BackStyle, "BackStyle", 0, true},
        {Property::BorderStyle, "BorderStyle", 1, true},
        {Property::CausesValidation, "CausesValidation", true, true},
        {Property::Enabled, "Enabled", true, true},
        {Property::FillColor, "FillColor", 0, true},
        {Property::FillStyle, "FillStyle", 0, true},
        {Property::Font, "Font", QVariant(), true},
        {Property::FontBold, "FontBold", false, true},
        {Property::FontItalic, "FontItalic", false, true},
        {Property::FontName, "FontName", QString(), true},
        {Property::FontSize, "FontSize", 0.0, true},
        {Property::FontTransparent, "FontTransparent", false, true},
        {Property::FontUnderline, "FontUnderline", false, true},
        {Property::ForeColor, "ForeColor", SystemWindowText, true},
        {Property::Locked, "Locked", false, true},
        {Property::MaxLength, "MaxLength", 0, true},
        {Property::MouseIcon, "MouseIcon", QPixmap(), true},
        {Property::MultiLine, "MultiLine", false, false},
        {Property::SelLength, "SelLength", 0, true},
        {Property::SelStart, "SelStart", 0, true},
        {Property::SelText, "SelText", QString(), true},
        {Property::Text, "Text", QString(), true},
        {Property::ToolTipText, "ToolTipText", QString(), true},
        {Property::WhatsThisHelpID, "WhatsThisHelpID", 0, true},
        {Property::minval, "minval", -90, true},
        {Property::maxval, "maxval", 90, true},
    }};
    return specs;
}
}

std::span<const PropertyInfo> properties()
{
    return table();
}

const PropertyInfo &info(Property id)
{
    return table()[static_cast<std::size_t>(id)];
}
}
