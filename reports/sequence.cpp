// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/sequence.h"

#include "appfiles/boundedread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace reports
{
namespace
{
// The older table: AUID, RA, Dec, label, then magnitude, error and source of
// U, B and V (V in fields 11 to 13, counted from 1), of the other bands, and
// last the comments and the chart ID.
constexpr qsizetype vField = 10;
constexpr qsizetype fewestFields = vField + 3 + 2;

std::optional<double> fieldNumber(QStringView text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<double> jsonNumber(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    return value.isString() ? fieldNumber(value.toString()) : std::nullopt;
}

QString textOf(const QJsonValue &value)
{
    return value.isDouble() ? QString::number(value.toDouble()) : value.toString().trimmed();
}

// A star without its AUID or label cannot be told from the others.
bool named(const ComparisonStar &star, int number, Sequence &sequence)
{
    if (!star.auid.isEmpty() && !star.label.isEmpty())
        return true;
    sequence.refused.append(QStringLiteral("Star %1 has no %2.")
                                .arg(number)
                                .arg(star.auid.isEmpty() ? QStringLiteral("AUID") : QStringLiteral("label")));
    return false;
}

outcome::Result<Sequence> fromJson(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return outcome::refused(QStringLiteral("it is no photometry table: its JSON is broken at byte %1 (%2)")
                                    .arg(error.offset)
                                    .arg(error.errorString()));
    const QJsonObject root = document.object();
    Sequence sequence;
    sequence.chartId = textOf(root.value(u"chartid"));
    sequence.star = textOf(root.value(u"star"));
    const QJsonArray photometry = root.value(u"photometry").toArray();
    for (qsizetype i = 0; i < photometry.size(); ++i) {
        const QJsonObject entry = photometry.at(i).toObject();
        ComparisonStar star{textOf(entry.value(u"auid")),
                            textOf(entry.value(u"ra")),
                            textOf(entry.value(u"dec")),
                            textOf(entry.value(u"label")),
                            std::nullopt,
                            std::nullopt,
                            textOf(entry.value(u"comments"))};
        for (const QJsonValue &band : entry.value(u"bands").toArray()) {
            const QJsonObject measured = band.toObject();
            if (measured.value(u"band").toString().trimmed() != u"V")
                continue;
            star.v = jsonNumber(measured.value(u"mag"));
            star.vError = jsonNumber(measured.value(u"error"));
        }
        if (named(star, int(i + 1), sequence))
            sequence.stars.append(star);
    }
    return sequence;
}

outcome::Result<Sequence> fromTable(const QByteArray &text)
{
    Sequence sequence;
    std::optional<qsizetype> count;
    int number = 0;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u"Count=", Qt::CaseInsensitive)) {
            bool ok = false;
            const qsizetype given = line.mid(6).trimmed().toLongLong(&ok);
            // "NA" says nothing of the number.
            if (ok)
                count = given;
            continue;
        }
        const QStringList fields = line.split(u'|');
        if (fields.constFirst().trimmed().compare(u"AUID", Qt::CaseInsensitive) == 0)
            continue;
        ++number;
        if (fields.size() < fewestFields) {
            sequence.refused.append(QStringLiteral("Star %1 has %2 fields, fewer than %3.")
                                        .arg(number)
                                        .arg(fields.size())
                                        .arg(fewestFields));
            continue;
        }
        const auto at = [&fields](qsizetype i) { return fields.at(i).trimmed(); };
        const QString chart = at(fields.size() - 1);
        if (sequence.chartId.isEmpty())
            sequence.chartId = chart;
        if (chart.compare(sequence.chartId, Qt::CaseInsensitive) != 0) {
            sequence.refused.append(
                QStringLiteral("Star %1 is of chart %2, not %3.").arg(number).arg(chart, sequence.chartId));
            continue;
        }
        const ComparisonStar star{
            at(0), at(1), at(2), at(3), fieldNumber(at(vField)), fieldNumber(at(vField + 1)), at(fields.size() - 2)};
        if (named(star, number, sequence))
            sequence.stars.append(star);
    }
    if (count && *count != number)
        return outcome::refused(
            QStringLiteral("its count says %1 stars where it lists %2: it may be cut short").arg(*count).arg(number));
    return sequence;
}
}

outcome::Result<Sequence> parseSequence(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    outcome::Result<Sequence> read = trimmed.startsWith('{') ? fromJson(trimmed) : fromTable(trimmed);
    if (!read)
        return read;
    if (read->chartId.isEmpty())
        return outcome::refused(QStringLiteral("it names no chart ID"));
    if (read->stars.isEmpty())
        return outcome::refused(QStringLiteral("it lists no comparison star of chart %1").arg(read->chartId));
    return read;
}

outcome::Result<Sequence> readSequence(const QString &path)
{
    const outcome::Result<QByteArray> file = appfiles::readBounded(path, largestSequence);
    outcome::Result<Sequence> read = file ? parseSequence(*file) : outcome::Result<Sequence>(file.problem());
    if (read)
        return read;
    outcome::Problem problem = read.problem();
    problem.message = QStringLiteral("\"%1\" was not read: %2.").arg(path, problem.message);
    return problem;
}
}
