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

std::optional<QString> sizeProblem(qint64 size)
{
    if (size == 0)
        return QStringLiteral("it is empty");
    if (size > largestHeader)
        return QStringLiteral("it holds %1 bytes, more than the %2 a header may hold").arg(size).arg(largestHeader);
    return std::nullopt;
}

std::optional<QString> encodingProblem(const QByteArray &bytes)
{
    if (bytes.startsWith("\xef\xbb\xbf"))
        return QStringLiteral("it begins with a UTF-8 byte-order mark, which would stand before the \"#\" of its "
                              "first line. Save it as plain text without a byte-order mark");
    // A header begins with "#": in UTF-16 one of its first two bytes is 0.
    const bool utf16 = bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")
        || (bytes.size() >= 2 && (bytes.at(0) == 0) != (bytes.at(1) == 0));
    if (utf16)
        return QStringLiteral("it is saved as UTF-16 (\"Unicode\" in many editors), which a report cannot hold. "
                              "Save it as plain text (\"ANSI\")");
    return std::nullopt;
}
}

std::optional<QString> headerProblem(const QByteArray &bytes)
{
    if (const auto problem = sizeProblem(bytes.size()))
        return problem;
    if (const auto problem = encodingProblem(bytes))
        return problem;
    // A CR alone ends a line too, for whoever reads the report.
    int number = 1;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const char byte = i < bytes.size() ? bytes.at(i) : '\n';
        if (byte != '\r' && byte != '\n') {
            if (isControl(byte))
                return QStringLiteral("line %1 holds a control character (byte 0x%2)")
                    .arg(number)
                    .arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
            continue;
        }
        const QByteArray line = bytes.mid(begin, i - begin);
        if (!line.isEmpty() && !line.startsWith('#'))
            return QStringLiteral("line %1 does not begin with \"#\": \"%2\"").arg(number).arg(shown(line));
        if (byte == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        begin = i + 1;
        ++number;
    }
    return std::nullopt;
}

HeaderRead readHeader(const Folder &folder)
{
    const BoundedRead file = readBounded(folder.header(), largestHeader);
    switch (file.status) {
    case BoundedRead::Read: break;
    case BoundedRead::Missing: return {HeaderRead::Missing, {}, {}};
    case BoundedRead::NotAFile: return {HeaderRead::Refused, {}, file.reason};
    case BoundedRead::TooLarge: return {HeaderRead::Refused, {}, sizeProblem(file.size).value_or(file.reason)};
    case BoundedRead::Failed: return {HeaderRead::Unreadable, {}, file.reason};
    }
    if (const auto problem = headerProblem(file.bytes))
        return {HeaderRead::Refused, {}, *problem};
    return {HeaderRead::Read, file.bytes, {}};
}

QString exampleObserverCode()
{
    return QStringLiteral("KTV");
}

std::optional<QString> writeHeader(const Folder &folder, const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const auto bytes = toCp1252(lines);
    if (!bytes)
        return QStringLiteral("The header holds the character \"%1\", which a report file cannot hold.")
            .arg(firstNotInCp1252(lines).value_or(QString()));
    if (const auto problem = headerProblem(*bytes))
        return QStringLiteral("The header cannot begin a report: %1.").arg(*problem);
    QSaveFile file(folder.header());
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
        return QStringLiteral("The header could not be saved as \"%1\": %2.").arg(folder.header(), file.errorString());
    return std::nullopt;
}
}
