// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/headerfile.h"

#include "appfiles/boundedread.h"
#include "appfiles/codepage.h"

#include <QSaveFile>

namespace appfiles
{
namespace
{
// As much of a line as a message shows.
constexpr qsizetype shownCharacters = 40;

bool isControl(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return (value < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || value == 0x7f;
}

QString shown(const QByteArray &line)
{
    const QString text = fromCp1252(line);
    return text.size() > shownCharacters ? text.left(shownCharacters) + QChar(0x2026) : text;
}

QString tooLarge(qint64 size)
{
    return QStringLiteral("it holds %1 bytes, more than the %2 a header may hold").arg(size).arg(largestHeader);
}

outcome::Done checkSize(qint64 size)
{
    if (size == 0)
        return outcome::refused(QStringLiteral("it is empty"));
    if (size > largestHeader)
        return outcome::refused(tooLarge(size));
    return {};
}

outcome::Done checkEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith("\xef\xbb\xbf"))
        return outcome::refused(
            QStringLiteral("it begins with a UTF-8 byte-order mark, which would stand before the \"#\" of its "
                           "first line. Save it as plain text without a byte-order mark"));
    // A header begins with "#": in UTF-16 one of its first two bytes is 0.
    const bool utf16 = bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")
        || (bytes.size() >= 2 && (bytes.at(0) == 0) != (bytes.at(1) == 0));
    if (utf16)
        return outcome::refused(
            QStringLiteral("it is saved as UTF-16 (\"Unicode\" in many editors), which a report cannot hold. "
                           "Save it as plain text (\"ANSI\")"));
    return {};
}
}

outcome::Done checkHeader(const QByteArray &bytes)
{
    if (outcome::Done size = checkSize(bytes.size()); !size)
        return size;
    if (outcome::Done encoding = checkEncoding(bytes); !encoding)
        return encoding;
    // A CR alone ends a line too, for whoever reads the report.
    int number = 1;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const char byte = i < bytes.size() ? bytes.at(i) : '\n';
        if (byte != '\r' && byte != '\n') {
            if (isControl(byte))
                return outcome::refused(QStringLiteral("line %1 holds a control character (byte 0x%2)")
                                            .arg(number)
                                            .arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0')));
            continue;
        }
        const QByteArray line = bytes.mid(begin, i - begin);
        if (!line.isEmpty() && !line.startsWith('#'))
            return outcome::refused(
                QStringLiteral("line %1 does not begin with \"#\": \"%2\"").arg(number).arg(shown(line)));
        if (byte == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        begin = i + 1;
        ++number;
    }
    return {};
}

outcome::Result<QByteArray> readHeader(const Folder &folder)
{
    outcome::Result<QByteArray> file = readBounded(folder.header(), largestHeader, tooLarge);
    if (!file)
        return file;
    if (outcome::Done header = checkHeader(*file); !header)
        return header.problem();
    return file;
}

QString exampleObserverCode()
{
    return QStringLiteral("KTV");
}

outcome::Done writeHeader(const Folder &folder, const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const auto bytes = toCp1252(lines);
    if (!bytes)
        return outcome::refused(
            QStringLiteral("The header holds the character \"%1\", which a report file cannot hold.")
                .arg(firstNotInCp1252(lines).value_or(QString())));
    if (outcome::Done header = checkHeader(*bytes); !header)
        return outcome::refused(QStringLiteral("The header cannot begin a report: %1.").arg(header.problem().message));
    QSaveFile file(folder.header());
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return outcome::failed(
            QStringLiteral("The header could not be saved as \"%1\": %2.").arg(folder.header(), file.errorString()));
    return {};
}
}
