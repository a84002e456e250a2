// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/codepage.h"

#include <QList>
#include <QStringView>

#include <array>

namespace
{
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> byteOf(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<char>(character);
    for (std::size_t i = 0; i < high.size(); ++i) {
        if (high[i] == character)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}
}

bool appfiles::inCp1252(char32_t character)
{
    return byteOf(character).has_value();
}

std::optional<QByteArray> appfiles::toCp1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t character : QStringView(text).toUcs4()) {
        const std::optional<char> byte = byteOf(character);
        if (!byte)
            return std::nullopt;
        bytes.append(*byte);
    }
    return bytes;
}

QString appfiles::fromCp1252(const QByteArray &bytes)
{
    // Latin-1 but for the bytes 0x80 to 0x9F; converted whole first, for the
    // reports of a year are read line by line.
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        const char16_t code = c.unicode();
        if (code >= 0x80 && code < 0xA0)
            c = QChar(high[code - 0x80]);
    }
    return text;
}

std::optional<QString> appfiles::firstNotInCp1252(const QString &text)
{
    for (const char32_t character : QStringView(text).toUcs4()) {
        if (!inCp1252(character))
            return QString::fromUcs4(&character, 1);
    }
    return std::nullopt;
}
