// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// The colours of the night: only red and dark red on black, so that the
// observer's eyes stay adapted to the dark. Every night surface takes its
// colours from here.
namespace screenkit::night
{
// The chart frame and the chart's background.
inline constexpr QRgb black = 0xff000000;
// Windows and labels.
inline constexpr QRgb screen = 0xff400000;
// Fields, lists, buttons and the finder chart's box.
inline constexpr QRgb field = 0xff800000;
// Every text, and what must stand out: carets, selections, frames.
inline constexpr QRgb text = 0xffff0000;
// Disabled texts and quiet lines: readable, but darker than text.
inline constexpr QRgb dimText = 0xffaa0000;
// Bevels and shades of frames and scroll bars.
inline constexpr QRgb light = 0xffa00000;
inline constexpr QRgb dark = 0xff280000;

// The palette every night window is drawn with.
QPalette palette();
}
