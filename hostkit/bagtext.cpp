// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/bagtext.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPixmap>

#include <cctype>
#include <charconv>
#include <cmath>

namespace hostkit
{
namespace
{
template<typename Real>
QString shortest(Real value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    // A double must read back as a double, not as an integer.
    if (std::isfinite(value) && !text.contains(u'.') && !text.contains(u'e'))
        text += QLatin1String(".0");
    return text;
}

QString quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(u'"', QLatin1String("\"\""));
    return u'"' + doubled + u'"';
}

QString formatFont(const QFont &font)
{
    double size = font.pointSizeF();
    if (size <= 0)
        size = font.pixelSize() * 72.0 / 96.0;
    QString text = QLatin1String("Font(") + quoted(font.family()) + QLatin1String(", ") + shortest(size);
    if (font.bold())
        text += QLatin1String(", Bold");
    if (font.italic())
        text += QLatin1String(", Italic");
    if (font.underline())
        text += QLatin1String(", Underline");
    if (font.strikeOut())
        text += QLatin1String(", Strikeout");
    return text + u')';
}

QString formatPicture(const QImage &image)
{
    QByteArray png;
    if (!image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return QLatin1String("Picture(\"") + QString::fromLatin1(png.toBase64()) + QLatin1String("\")");
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.';
}
}

QString bagtext::formatValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UShort:
    case QMetaType::SChar: return QString::number(value.toLongLong());
    case QMetaType::UInt: return QStringLiteral("&H%1&").arg(value.toUInt(), 8, 16, QLatin1Char('0')).toUpper();
    case QMetaType::Float: return shortest(value.toFloat());
    case QMetaType::Double: return shortest(value.toDouble());
    case QMetaType::QFont: return formatFont(value.value<QFont>());
    case QMetaType::QPixmap: return formatPicture(value.value<QPixmap>().toImage());
    case QMetaType::QImage: return formatPicture(value.value<QImage>());
    default: return quoted(value.toString());
    }
}

bagtext::Reader::Reader(const QString &text)
    : m_text(text)
{
}

bool bagtext::Reader::atEnd() const
{
    return m_pos >= m_text.size();
}

int bagtext::Reader::line() const
{
    return m_line;
}

QChar bagtext::Reader::peek() const
{
    return atEnd() ? QChar() : m_text.at(m_pos);
}

void bagtext::Reader::skipSpaces()
{
    while (!atEnd() && (peek() == u' ' || peek() == u'\t'))
        ++m_pos;
}

void bagtext::Reader::skipBlankLines()
{
    for (;;) {
        const qsizetype start = m_pos;
        skipSpaces();
        if (peek() == u'\'') {
            while (!atEnd() && peek() != u'\n')
                ++m_pos;
        }
        if (peek() == u'\r')
            ++m_pos;
        if (peek() == u'\n') {
            ++m_pos;
            ++m_line;
            continue;
        }
        if (!atEnd())
            m_pos = start;
        return;
    }
}

QString bagtext::Reader::readWord()
{
    skipSpaces();
    const qsizetype start = m_pos;
    while (!atEnd() && isWordChar(peek()))
        ++m_pos;
    return m_text.mid(start, m_pos - start);
}

bool bagtext::Reader::consume(QChar c)
{
    skipSpaces();
    if (peek() != c)
        return false;
    ++m_pos;
    return true;
}

bool bagtext::Reader::endLine()
{
    skipSpaces();
    if (peek() == u'\r')
        ++m_pos;
    if (atEnd())
        return true;
    if (peek() != u'\n')
        return false;
    ++m_pos;
    ++m_line;
    return true;
}

bool bagtext::Reader::fail(QString *error, const QString &what) const
{
    if (error)
        *error = QStringLiteral("line %1: %2").arg(m_line).arg(what);
    return false;
}

bool bagtext::Reader::readString(QString &result, QString *error)
{
    if (!consume(u'"'))
        return fail(error, QStringLiteral("a quoted text is expected"));
    result.clear();
    for (;;) {
        if (atEnd())
            return fail(error, QStringLiteral("the quoted text is not closed"));
        const QChar c = m_text.at(m_pos++);
        if (c == u'"') {
            if (peek() != u'"')
                return true;
            ++m_pos;
        } else if (c == u'\n') {
            ++m_line;
        }
        result += c;
    }
}

bool bagtext::Reader::readNumber(QVariant &value, QString *error)
{
    const qsizetype start = m_pos;
    if (peek() == u'-' || peek() == u'+')
        ++m_pos;
    bool real = false;
    while (!atEnd()) {
        const QChar c = peek();
        if (c.isDigit()) {
            ++m_pos;
        } else if (c == u'.' || c == u'e' || c == u'E') {
            real = true;
            ++m_pos;
            if ((c == u'e' || c == u'E') && (peek() == u'-' || peek() == u'+'))
                ++m_pos;
        } else {
            break;
        }
    }
    const QString text = m_text.mid(start, m_pos - start);
    bool ok = false;
    if (!real) {
        const int number = text.toInt(&ok);
        if (ok) {
            value = number;
            return true;
        }
    }
    const double number = text.toDouble(&ok);
    if (!ok)
        return fail(error, QStringLiteral("\"%1\" is not a number").arg(text));
    value = number;
    return true;
}

bool bagtext::Reader::readCall(const QString &function, QVariant &value, QString *error)
{
    if (!consume(u'('))
        return fail(error, QStringLiteral("\"(\" is expected after %1").arg(function));
    QString text;
    if (!readString(text, error))
        return false;
    if (function.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0) {
        QPixmap picture;
        if (!text.isEmpty() && !picture.loadFromData(QByteArray::fromBase64(text.toLatin1()), "PNG"))
            return fail(error, QStringLiteral("the picture is not a PNG image"));
        if (!consume(u')'))
            return fail(error, QStringLiteral("\")\" is expected"));
        value = picture;
        return true;
    }
    QFont font(text);
    if (!consume(u','))
        return fail(error, QStringLiteral("the font size is expected"));
    skipSpaces();
    QVariant size;
    if (!readNumber(size, error))
        return false;
    if (size.toDouble() > 0)
        font.setPointSizeF(size.toDouble());
    while (consume(u',')) {
        const QString flag = readWord().toLower();
        if (flag == QLatin1String("bold"))
            font.setBold(true);
        else if (flag == QLatin1String("italic"))
            font.setItalic(true);
        else if (flag == QLatin1String("underline"))
            font.setUnderline(true);
        else if (flag == QLatin1String("strikeout"))
            font.setStrikeOut(true);
        else
            return fail(error, QStringLiteral("unknown font style \"%1\"").arg(flag));
    }
    if (!consume(u')'))
        return fail(error, QStringLiteral("\")\" is expected"));
    value = font;
    return true;
}

bool bagtext::Reader::readValue(QVariant &value, QString *error)
{
    skipSpaces();
    const QChar c = peek();
    if (c == u'"') {
        QString text;
        if (!readString(text, error))
            return false;
        value = text;
        return true;
    }
    if (c == u'&') {
        ++m_pos;
        if (peek() != u'H' && peek() != u'h')
            return fail(error, QStringLiteral("\"&H\" is expected"));
        ++m_pos;
        const qsizetype start = m_pos;
        while (!atEnd() && isxdigit(peek().toLatin1()))
            ++m_pos;
        bool ok = false;
        const uint number = m_text.mid(start, m_pos - start).toUInt(&ok, 16);
        if (!ok)
            return fail(error, QStringLiteral("a hexadecimal number is expected after \"&H\""));
        if (peek() == u'&')
            ++m_pos;
        value = number;
        return true;
    }
    if (c.isDigit() || c == u'-' || c == u'+' || c == u'.')
        return readNumber(value, error);
    const QString word = readWord();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        value = true;
        return true;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        value = false;
        return true;
    }
    if (word.compare(QLatin1String("Font"), Qt::CaseInsensitive) == 0
        || word.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0)
        return readCall(word, value, error);
    return fail(error,
                word.isEmpty() ? QStringLiteral("a value is expected")
                               : QStringLiteral("unknown value \"%1\"").arg(word));
}
}
