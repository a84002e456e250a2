// SPDX-License-Identifier: GPL-2.0-or-later
#include "recording.h"

#include "codepage.h"
#include "julianday.h"
#include "schema.h"

#include <QStringList>

namespace
{
const QString absent = QStringLiteral("na");

QString orAbsent(const QString &text)
{
    return text.isEmpty() ? absent : text;
}

struct WholeField
{
    QString name;
    QString meaning;
    int min;
    int max;
};

bool isWholeNumber(const QString &text)
{
    const QStringView digits = QStringView(text).mid(text.startsWith(u'-') ? 1 : 0);
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

std::optional<QString> checkWhole(const QString &text, const WholeField &field)
{
    const QString hint =
        QStringLiteral("Enter the %1 of the observation (%2 to %3).").arg(field.meaning).arg(field.min).arg(field.max);
    if (text.isEmpty())
        return QStringLiteral("The %1 field is empty. %2").arg(field.name, hint);
    if (!isWholeNumber(text))
        return QStringLiteral("The %1 field must hold a whole number. %2").arg(field.name, hint);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < field.min || value > field.max)
        return QStringLiteral("The %1 field holds %2, but must be between %3 and %4. Correct "
                              "the %1 field.")
            .arg(field.name, text)
            .arg(field.min)
            .arg(field.max);
    return std::nullopt;
}

// A field that goes into the report line must fit the file's code page and
// must not split the line.
std::optional<QString> checkLineText(const QString &text, const QString &name)
{
    if (const std::optional<QString> character = appfiles::firstNotInCp1252(text))
        return QStringLiteral("The %1 field holds the character \"%2\", which cannot be "
                              "written to the report file. Replace or remove it.")
            .arg(name, *character);
    if (text.contains(u'|'))
        return QStringLiteral("The %1 field holds a \"|\", which separates the fields of the "
                              "report line. Remove it.")
            .arg(name);
    if (text.contains(u'\r') || text.contains(u'\n'))
        return QStringLiteral("The %1 field holds a line break, which would split the report "
                              "line. Remove it.")
            .arg(name);
    return std::nullopt;
}

// The text must fit the cumobs column it is stored in.
std::optional<QString> checkLength(const QString &text, const QString &name, const char *column)
{
    const int width = store::cumobs().column(QLatin1String(column))->length;
    if (text.size() > width)
        return QStringLiteral("The %1 field holds %2 characters, but only %3 can be stored. "
                              "Shorten it.")
            .arg(name)
            .arg(text.size())
            .arg(width);
    return std::nullopt;
}

std::optional<QString> firstOf(std::initializer_list<std::optional<QString>> problems)
{
    for (const std::optional<QString> &problem : problems) {
        if (problem)
            return problem;
    }
    return std::nullopt;
}
}

QString modEntryscreen::completedMagnitude(const QString &text)
{
    return text.contains(u'.') ? text : text + QStringLiteral(".0");
}

QString modEntryscreen::comparisonLabel(const QString &text)
{
    return QString(text).remove(u'.');
}

bool modEntryscreen::isNightly(const QString &nightly)
{
    return nightly == QLatin1String("yes");
}

QString modEntryscreen::commentCode(const std::optional<QString> &item)
{
    if (!item || item->isEmpty())
        return absent;
    return item->left(1);
}

QString modEntryscreen::obsdateText(const ObservationTexts &texts, bool nightly)
{
    const double jd =
        modProcesses::observationJd(static_cast<qint16>(texts.year.toInt()), static_cast<qint16>(texts.month.toInt()),
                                    static_cast<float>(texts.day.toInt()), texts.hour.toInt(), texts.minute.toInt());
    return modProcesses::jdText(jd, nightly);
}

modEntryscreen::Recording modEntryscreen::makeRecording(const ObservationTexts &texts, bool nightly)
{
    const QString obsdate = obsdateText(texts, nightly);
    const QString code = commentCode(texts.comment);
    const QString magnitude = texts.fainterthan ? QLatin1Char('<') + texts.magnitude : texts.magnitude;

    const QStringList fields = {
        texts.star,
        obsdate,
        magnitude,
        code,
        orAbsent(texts.comp1),
        orAbsent(texts.comp2),
        texts.chart,
        orAbsent(texts.notes),
    };
    return Recording{
        fields.join(u'|'),
        CumobsRow{texts.star, texts.magnitude, texts.estimate, obsdate, code, orAbsent(texts.notes),
                  orAbsent(texts.chart)},
    };
}

std::optional<QString> modEntryscreen::checkObservation(const ObservationTexts &texts)
{
    const QString star = QStringLiteral("Star");
    const QString magn = QStringLiteral("Magn");
    const QString chart = QStringLiteral("Chart ID");
    const QString notes = QStringLiteral("Notes");

    if (texts.star.isEmpty())
        return QStringLiteral("The Star field is empty. Pick the star and click \"get Chart\", "
                              "or type the star's name.");
    if (auto problem = firstOf({
            checkLineText(texts.star, star),
            checkLength(texts.star, star, "star"),
            checkWhole(texts.year, {QStringLiteral("Year"), QStringLiteral("year"), 2017, 2100}),
            checkWhole(texts.month, {QStringLiteral("Month"), QStringLiteral("month"), 1, 12}),
            checkWhole(texts.day, {QStringLiteral("Day"), QStringLiteral("day of the month"), 1, 31}),
            checkWhole(texts.hour, {QStringLiteral("Hour"), QStringLiteral("hour"), 0, 23}),
            checkWhole(texts.minute, {QStringLiteral("Minute"), QStringLiteral("minute"), 0, 59}),
        }))
        return problem;

    if (texts.estimate.isEmpty())
        return QStringLiteral("The Estimate field is empty. Enter your estimate as you wrote it "
                              "at the eyepiece.");
    if (auto problem = checkLength(texts.estimate, QStringLiteral("Estimate"), "estimate"))
        return problem;

    if (texts.magnitude.isEmpty())
        return QStringLiteral("The Magn field is empty. Enter the magnitude with a decimal "
                              "point, for example 11.2.");
    if (!texts.magnitude.contains(u'.'))
        return QStringLiteral("The magnitude %1 in the Magn field needs a decimal point, for "
                              "example %1.0. Correct the Magn field.")
            .arg(texts.magnitude);

    return firstOf({
        checkLineText(texts.magnitude, magn),
        checkLength(texts.magnitude, magn, "magnitude"),
        checkLineText(texts.comp1, QStringLiteral("CS1")),
        checkLineText(texts.comp2, QStringLiteral("CS2")),
        checkLineText(texts.chart, chart),
        checkLength(texts.chart, chart, "chart"),
        checkLineText(texts.notes, notes),
        checkLength(texts.notes, notes, "notes"),
    });
}

QString modEntryscreen::notInCatalogue(const QString &star)
{
    return QStringLiteral("The star \"%1\" is not in the chart catalogue. Pick it from the star "
                          "list, or add its chart on the Database Screen first.")
        .arg(star);
}
