// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The report file's 8-bit code page, Windows-1252: Latin-1 with typographic
// characters in 0x80-0x9F. The five bytes that code page leaves unassigned
// stand for the control characters of the same number, so that any file
// reads back and writes out unchanged.
namespace appfiles
{
bool inCp1252(char32_t character);

// Nothing when some character of the text has no byte in the code page.
std::optional<QByteArray> toCp1252(const QString &text);

QString fromCp1252(const QByteArray &bytes);

// The first character of the text that has no byte in the code page (a
// surrogate pair counts as one character), or nothing.
std::optional<QString> firstNotInCp1252(const QString &text);
}
