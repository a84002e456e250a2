// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/recording.h"

#include "appfiles/codepage.h"
#include "observe/julianday.h"
#include "store/schema.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace observe
{

namespace
{
// The fields an observation is read from.
enum class Field { Star, Year, Month, Day, Hour, Minute, Estimate, Magnitude, Comp1, Comp2, Chart, Notes };

const QString absent = QStringLiteral("na");

// The magnitudes an eye can estimate, from the brightest planets' neighbours
// to the faintest star a large amateur telescope shows.
constexpr double brightestMagnitude = -2.0;
constexpr double faintestMagnitude = 20.0;

QString orAbsent(const QString &text)
{
    return text.isEmpty() ? absent : text;
}

// The field as the observer sees it named on the screen.
QString caption(Field field)
{
    switch (field) {
    case Field::Star: return QStringLiteral("Star");
    case Field::Year: return QStringLiteral("Year");
    case Field::Month: return QStringLiteral("Month");
    case Field::Day: return QStringLiteral("Day");
    case Field::Hour: return QStringLiteral("Hour");
    case Field::Minute: return QStringLiteral("Minute");
    case Field::Estimate: return QStringLiteral("Estimate");
    case Field::Magnitude: return QStringLiteral("Magn");
    case Field::Comp1: return QStringLiteral("CS1");
    case Field::Comp2: return QStringLiteral("CS2");
    case Field::Chart: return QStringLiteral("Chart ID");
    case Field::Notes: return QStringLiteral("Notes");
    }
    return {};
}

// The object name of the field's control on the screen.
QString objectName(Field field)
{
    switch (field) {
    case Field::Star: return QStringLiteral("txtStar");
    case Field::Year: return QStringLiteral("nbYear");
    case Field::Month: return QStringLiteral("nbMonth");
    case Field::Day: return QStringLiteral("nbDay");
    case Field::Hour: return QStringLiteral("nbHour");
    case Field::Minute: return QStringLiteral("nbMinute");
    case Field::Estimate: return QStringLiteral("txtEstimate");
    case Field::Magnitude: return QStringLiteral("txtMagn");
    case Field::Comp1: return QStringLiteral("nbComp1");
    case Field::Comp2: return QStringLiteral("nbComp2");
    case Field::Chart: return QStringLiteral("txtChartid");
    case Field::Notes: return QStringLiteral("txtNotes");
    }
    return {};
}

// The message with the field's caption for %1 and the texts for %2, %3, ...,
// all put in at once, so that a "%" typed by the observer stays as typed.
template<typename... Texts>
outcome::Done problem(Field field, const QString &message, const Texts &...texts)
{
    return outcome::refused(message.arg(caption(field), texts...), objectName(field));
}

struct WholeField
{
    Field field;
    QString meaning;
    int min;
    int max;
};

bool isWholeNumber(QStringView text)
{
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    return whole.match(text).hasMatch();
}

outcome::Done checkWhole(const QString &text, const WholeField &field)
{
    const QString hint =
        QStringLiteral("Enter the %1 of the observation (%2 to %3).").arg(field.meaning).arg(field.min).arg(field.max);
    if (text.isEmpty())
        return problem(field.field, QStringLiteral("The %1 field is empty. %2"), hint);
    if (!isWholeNumber(text))
        return problem(field.field, QStringLiteral("The %1 field must hold a whole number. %2"), hint);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < field.min || value > field.max)
        return problem(field.field,
                       QStringLiteral("The %1 field holds %2, but must be between %3 and %4. Correct the %1 field."),
                       text, QString::number(field.min), QString::number(field.max));
    return {};
}

QString codeOf(char32_t character)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16, QLatin1Char('0')).toUpper();
}

// Characters that show nothing, or nothing that tells them apart: a message
// can only name them by their code.
bool isInvisible(char32_t character)
{
    switch (QChar::category(character)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    case QChar::Separator_Space: return character != U' ';
    default: return false;
    }
}

QString nameOf(char32_t character)
{
    if (isInvisible(character))
        return codeOf(character);
    return QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&character, 1), codeOf(character));
}

// What no field may hold: a line break, a control character or a character
// that cannot be seen.
outcome::Done checkCharacters(const QString &text, Field field)
{
    if (text.contains(u'\r') || text.contains(u'\n'))
        return problem(field,
                       QStringLiteral("The %1 field holds a line break, which would split the report "
                                      "line. Remove it."));
    for (const char32_t character : QStringView(text).toUcs4()) {
        if (QChar::category(character) == QChar::Other_Control)
            return problem(field,
                           QStringLiteral("The %1 field holds the control character %2, which cannot be recorded. "
                                          "Remove it."),
                           codeOf(character));
        if (isInvisible(character))
            return problem(field,
                           QStringLiteral("The %1 field holds the invisible character %2, which the report must "
                                          "not hold. Remove it; if you pasted the text, type it instead."),
                           codeOf(character));
    }
    return {};
}

// A field that goes into the report line must fit the file's code page and
// must not split the line.
outcome::Done checkLineText(const QString &text, Field field)
{
    if (outcome::Done found = checkCharacters(text, field); !found)
        return found;
    for (const char32_t character : QStringView(text).toUcs4()) {
        if (!appfiles::inCp1252(character))
            return problem(field,
                           QStringLiteral("The %1 field holds the character %2, which cannot be written to the "
                                          "report file. Replace or remove it."),
                           nameOf(character));
    }
    if (text.contains(u'|'))
        return problem(field,
                       QStringLiteral("The %1 field holds a \"|\", which separates the fields of the "
                                      "report line. Remove it."));
    return {};
}

// The text must fit the cumobs column it is stored in.
outcome::Done checkLength(const QString &text, Field field, QLatin1StringView column)
{
    const int width = store::cumobs().length(column);
    if (text.size() > width)
        return problem(field,
                       QStringLiteral("The %1 field holds %2 characters, but only %3 can be stored. Shorten it."),
                       QString::number(text.size()), QString::number(width));
    return {};
}

// What the observer's reader takes for a magnitude: a sign, one or two
// digits, the point and one to three decimals, within the magnitudes an eye can see.
outcome::Done checkMagnitude(const QString &text)
{
    const Field field = Field::Magnitude;
    if (text.isEmpty())
        return problem(field,
                       QStringLiteral("The %1 field is empty. Enter the magnitude with a decimal "
                                      "point, for example 11.2."));
    if (outcome::Done found = checkLineText(text, field); !found)
        return found;
    if (text.contains(u','))
        return problem(field,
                       QStringLiteral("The magnitude %2 in the %1 field has a comma: type the decimal point as a "
                                      "full stop, for example 11.2."),
                       text);
    if (isWholeNumber(text))
        return problem(field,
                       QStringLiteral("The magnitude %2 in the %1 field needs a decimal point, for example %2.0. "
                                      "Correct the %1 field."),
                       text);
    static const QRegularExpression pointForgotten(QStringLiteral("^-?[0-9]{3,}\\.[0-9]*$"));
    if (pointForgotten.match(text).hasMatch())
        return problem(field,
                       QStringLiteral("The magnitude %2 in the %1 field is far beyond %3: was the decimal point "
                                      "left out, as in 112 for 11.2? Correct the %1 field."),
                       text, QString::number(faintestMagnitude));
    static const QRegularExpression magnitude(QStringLiteral("^-?[0-9]{1,2}\\.[0-9]{1,3}$"));
    if (!magnitude.match(text).hasMatch())
        return problem(field,
                       QStringLiteral("The %1 field holds \"%2\", which is not a magnitude: write it with digits, "
                                      "a decimal point and at most three decimals, for example 11.2 or 9.85."),
                       text);
    const double value = text.toDouble();
    if (value < brightestMagnitude || value > faintestMagnitude)
        return problem(field,
                       QStringLiteral("The magnitude %2 in the %1 field lies outside %3 to %4, the magnitudes an "
                                      "estimate can have. Correct the %1 field."),
                       text, QString::number(brightestMagnitude), QString::number(faintestMagnitude));
    return {};
}

QString spoken(const QDateTime &moment)
{
    return QLocale::c().toString(moment, QStringLiteral("d MMMM yyyy hh:mm")) + QStringLiteral(" UT");
}

// The date and time fields once each holds a number in its range: a day the
// calendar has, not later than tomorrow by the computer's clock.
outcome::Done checkMoment(const modEntryscreen::ObservationTexts &texts, const QDateTime &nowUtc)
{
    const int year = texts.year.toInt();
    const int month = texts.month.toInt();
    const int day = texts.day.toInt();
    const QDate date(year, month, day);
    if (!date.isValid()) {
        const QDate first(year, month, 1);
        return problem(Field::Day, QStringLiteral("There is no %2 %3: %3 has %4 days. Correct the %1 field."),
                       QString::number(day), QLocale::c().toString(first, QStringLiteral("MMMM yyyy")),
                       QString::number(first.daysInMonth()));
    }
    const QDateTime moment(date, QTime(texts.hour.toInt(), texts.minute.toInt()), Qt::UTC);
    if (moment <= nowUtc.addDays(1))
        return {};
    // The field most likely mistyped: the largest unit that differs from the clock's.
    const QDate today = nowUtc.date();
    const Field field = year != today.year() ? Field::Year : month != today.month() ? Field::Month : Field::Day;
    return problem(field,
                   QStringLiteral("The date and time typed, %2, lie more than a day after the computer's clock "
                                  "(%3). Correct the %1 field, or set the computer's clock right."),
                   spoken(moment), spoken(nowUtc.toUTC()));
}

outcome::Done firstOf(std::initializer_list<outcome::Done> checks)
{
    for (const outcome::Done &check : checks) {
        if (!check)
            return check;
    }
    return {};
}
}

QString modEntryscreen::completedMagnitude(const QString &text)
{
    return isWholeNumber(text) ? text + QStringLiteral(".0") : text;
}

QString modEntryscreen::comparisonLabel(const QString &text)
{
    return QString(text).remove(u'.');
}

outcome::Done modEntryscreen::checkEstimateLeft(const QString &estimate)
{
    if (!estimate.isEmpty())
        return {};
    return outcome::refused(QStringLiteral("You must enter an estimate!"), objectName(Field::Estimate))
        .titled(QStringLiteral("Alert"))
        .as(outcome::Severity::Information);
}

outcome::Done modEntryscreen::checkMagnitudeLeft(const QString &magnitude)
{
    if (magnitude.isEmpty() || magnitude.contains(u'.'))
        return {};
    return outcome::refused(QStringLiteral("Magnitude must have a decimal point"), objectName(Field::Magnitude))
        .titled(QStringLiteral("Wrong number format"))
        .as(outcome::Severity::Information);
}

modEntryscreen::ObservationTexts modEntryscreen::asLeft(ObservationTexts texts)
{
    texts.magnitude = completedMagnitude(texts.magnitude);
    texts.comp1 = comparisonLabel(texts.comp1);
    texts.comp2 = comparisonLabel(texts.comp2);
    return texts;
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

    // The report format writes "na" for every absent value, the chart too.
    const QStringList fields = {
        texts.star,
        obsdate,
        magnitude,
        code,
        orAbsent(texts.comp1),
        orAbsent(texts.comp2),
        orAbsent(texts.chart),
        orAbsent(texts.notes),
    };
    return Recording{
        fields.join(u'|'),
        CumobsRow{texts.star, texts.magnitude, texts.estimate, obsdate, code, orAbsent(texts.notes),
                  orAbsent(texts.chart)},
    };
}

outcome::Done modEntryscreen::checkObservation(const ObservationTexts &texts, const QDateTime &nowUtc)
{
    if (texts.star.isEmpty())
        return problem(Field::Star,
                       QStringLiteral("The %1 field is empty. Pick the star and click \"get Chart\", "
                                      "or type the star's name."));
    if (outcome::Done found = firstOf({
            checkLineText(texts.star, Field::Star),
            checkLength(texts.star, Field::Star, store::column::star),
            checkWhole(texts.year, {Field::Year, QStringLiteral("year"), 2017, 2100}),
            checkWhole(texts.month, {Field::Month, QStringLiteral("month"), 1, 12}),
            checkWhole(texts.day, {Field::Day, QStringLiteral("day of the month"), 1, 31}),
            checkWhole(texts.hour, {Field::Hour, QStringLiteral("hour"), 0, 23}),
            checkWhole(texts.minute, {Field::Minute, QStringLiteral("minute"), 0, 59}),
        });
        !found)
        return found;
    if (outcome::Done found = checkMoment(texts, nowUtc); !found)
        return found;

    if (texts.estimate.isEmpty())
        return problem(Field::Estimate,
                       QStringLiteral("The %1 field is empty. Enter your estimate as you wrote "
                                      "it at the eyepiece."));
    return firstOf({
        checkCharacters(texts.estimate, Field::Estimate),
        checkLength(texts.estimate, Field::Estimate, store::column::estimate),
        checkMagnitude(texts.magnitude),
        checkLineText(texts.comp1, Field::Comp1),
        checkLineText(texts.comp2, Field::Comp2),
        checkLineText(texts.chart, Field::Chart),
        checkLength(texts.chart, Field::Chart, store::column::chart),
        checkLineText(texts.notes, Field::Notes),
        checkLength(texts.notes, Field::Notes, store::column::notes),
    });
}

QString modEntryscreen::notInCatalogue(const QString &star)
{
    return QStringLiteral("The star \"%1\" is not in the chart catalogue. Pick it from the star "
                          "list, or add its chart on the Database Screen first.")
        .arg(star);
}

modEntryscreen::Recording modEntryscreen::withDateText(Recording recording, const QString &dateText)
{
    QStringList fields = recording.line.split(u'|');
    if (fields.size() > 1)
        fields[1] = dateText;
    recording.line = fields.join(u'|');
    recording.row.obsdate = dateText;
    return recording;
}

} // namespace observe
