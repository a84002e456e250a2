// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/downloadline.h"

#include "store/observationkey.h"
#include "store/schema.h"

#include <array>

namespace import
{

namespace
{
constexpr double earliestJd = 2000000;
constexpr double latestJd = 3000000;

// Only the space counts as a blank; a tab stays.
QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

// Characters as the engine counts them: a surrogate pair is one.
qsizetype characters(QStringView text)
{
    qsizetype count = text.size();
    for (const QChar c : text) {
        if (c.isHighSurrogate())
            --count;
    }
    return count;
}

int width(QLatin1StringView column)
{
    return store::cumobs().length(column);
}

struct Value
{
    int width;
    QString meaning;
    QString fields;
    QString text;
};

QString checkValue(const Value &value)
{
    if (value.text.isEmpty())
        return QStringLiteral("the %1 (%2) is empty").arg(value.meaning, value.fields);
    const qsizetype length = characters(value.text);
    if (length > value.width)
        return QStringLiteral("the %1 \"%2\" (%3) has %4 characters, more than the %5 the database keeps")
            .arg(value.meaning, value.text, value.fields)
            .arg(length)
            .arg(value.width);
    return {};
}

QString fieldCount(qsizetype found)
{
    if (found == 1)
        return QStringLiteral("it has no \"##\" between fields, where an observation has %1 fields")
            .arg(download::fieldsRead);
    return QStringLiteral("it has %1 fields, where an observation has %2 separated by \"##\"")
        .arg(found)
        .arg(download::fieldsRead);
}
}

outcome::Result<download::Observation> download::parseLine(QStringView line)
{
    if (line.contains(QChar(u'\0')))
        return outcome::refused(QStringLiteral("it holds a zero byte, so the file is not plain text"));
    if (line.isEmpty())
        return outcome::refused(
            QStringLiteral("it is empty, where an observation has %1 fields separated by \"##\"").arg(fieldsRead));

    std::array<QStringView, fieldsRead> field;
    qsizetype found = 0;
    qsizetype from = 0;
    while (found < fieldsRead) {
        const qsizetype separator = line.indexOf(u"##", from);
        field[found++] = trimBlanks(line.sliced(from, (separator < 0 ? line.size() : separator) - from));
        if (separator < 0)
            break;
        from = separator + 2;
    }
    if (found < fieldsRead)
        return outcome::refused(fieldCount(found));

    const bool ordinary = field[4] == u"0";
    const QString estimate =
        ordinary ? QString(field[10].toString() + u' ' + field[12].toString()) : QString(u'<' + field[10].toString());
    const QString absent = QStringLiteral("na");
    static const int starWidth = width(store::column::star);
    static const int obsdateWidth = width(store::column::obsdate);
    static const int magnitudeWidth = width(store::column::magnitude);
    static const int obscodeWidth = width(store::column::obscode);
    static const int notesWidth = width(store::column::notes);
    static const int estimateWidth = width(store::column::estimate);
    static const int chartWidth = width(store::column::chart);
    // Each value once more without the blanks at its ends: an empty field 12
    // leaves no blank behind field 10.
    const std::array<Value, 7> values = {{
        {starWidth, QStringLiteral("star name"), QStringLiteral("field 1"), field[1].toString()},
        {obsdateWidth, QStringLiteral("Julian Date"), QStringLiteral("field 3"), field[3].toString()},
        {magnitudeWidth, QStringLiteral("magnitude"), QStringLiteral("field 5"), field[5].toString()},
        {obscodeWidth, QStringLiteral("comment code"), QStringLiteral("field 6"),
         field[6].isEmpty() ? absent : field[6].toString()},
        {notesWidth, QStringLiteral("note text"), QStringLiteral("field 7"),
         field[7] == u"0" ? absent : field[7].toString()},
        {estimateWidth, QStringLiteral("estimate"),
         ordinary ? QStringLiteral("fields 10 and 12") : QStringLiteral("field 10"), trimBlanks(estimate).toString()},
        {chartWidth, QStringLiteral("chart"), QStringLiteral("field 14"), field[14].toString()},
    }};
    for (const Value &value : values) {
        if (QString problem = checkValue(value); !problem.isEmpty())
            return outcome::refused(problem);
    }
    const QString &obsdate = values[1].text;
    if (const std::optional<double> jd = store::decimalNumber(obsdate); !jd || *jd < earliestJd || *jd > latestJd)
        return outcome::refused(
            QStringLiteral("the Julian Date \"%1\" (field 3) is not a number from 2,000,000 to 3,000,000")
                .arg(obsdate));
    if (!store::decimalNumber(values[2].text))
        return outcome::refused(QStringLiteral("the magnitude \"%1\" (field 5) is not a number").arg(values[2].text));

    return Observation{values[0].text, values[1].text, values[2].text, values[3].text,
                       values[4].text, values[5].text, values[6].text, !ordinary};
}

} // namespace import
