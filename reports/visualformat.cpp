// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/visualformat.h"

#include "appfiles/codepage.h"
#include "appfiles/headerfile.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace reports
{

namespace modReportcheck
{
namespace
{
// What the AAVSO takes, in one place: the length it keeps of each field, the
// magnitudes visual estimates lie between, and the earliest date it accepts.
struct LengthLimit
{
    Field field;
    int length;
};
constexpr std::array<LengthLimit, 6> lengthLimits{{
    {Field::Name, 30},
    {Field::Magnitude, 8},
    {Field::Comp1, 20},
    {Field::Comp2, 20},
    {Field::Chart, 20},
    {Field::Notes, 100},
}};
constexpr double brightestMagnitude = -2;
constexpr double faintestMagnitude = 20;
const QDate earliestDate(1800, 1, 1);

// The fields where the format writes "na" for an absent value.
constexpr std::array<Field, 5> absentAsNa{Field::CommentCode, Field::Comp1, Field::Comp2, Field::Chart, Field::Notes};

const QString absent = QStringLiteral("na");

// The characters of a value a finding shows; a longer one is cut.
constexpr qsizetype shownLength = 300;

// How far after the clock a date may lie: this program stamps its fields
// with the next minute, and clocks differ a little.
constexpr double clockAllowance = 5.0 / (24 * 60);

QString delimiterName(QChar delimiter)
{
    return delimiter == u'\t' ? QStringLiteral("tab") : QStringLiteral("\"%1\"").arg(delimiter);
}

// Control characters made visible, so that a table or a terminal shows them.
QString visible(QStringView text)
{
    QString made;
    made.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\t')
            made += QStringLiteral("[tab]");
        else if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            made += QStringLiteral("[code %1]").arg(static_cast<int>(code));
        else
            made += c;
    }
    return made;
}

// The numbers are read from plain character arrays, quick even in a
// debugging build: the earlier reports' dates are read by the hundred thousand.
std::u16string_view charsOf(QStringView text)
{
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

// "digits[.digits]", with a leading minus when allowed; at least one digit.
template<typename Char>
bool isDecimal(std::basic_string_view<Char> text, bool signAllowed, bool pointNeeded)
{
    const Char *c = text.data();
    const Char *const end = c + text.size();
    if (signAllowed && c != end && *c == '-')
        ++c;
    bool point = false;
    bool digit = false;
    for (; c != end; ++c) {
        if (*c == '.' && !point)
            point = true;
        else if (*c >= '0' && *c <= '9')
            digit = true;
        else
            return false;
    }
    return digit && (point || !pointNeeded);
}

// A number of isDecimal()'s form in units of 10^-places, rounded half away
// from zero; nothing when it does not fit.
template<typename Char>
std::optional<qint64> scaled(std::basic_string_view<Char> text, int places)
{
    constexpr qint64 ceiling = std::numeric_limits<qint64>::max() / 100;
    const Char *c = text.data();
    const Char *const end = c + text.size();
    const bool negative = c != end && *c == '-';
    if (negative)
        ++c;
    qint64 value = 0;
    int decimals = -1;
    bool roundUp = false;
    for (; c != end; ++c) {
        if (*c == '.') {
            decimals = 0;
            continue;
        }
        if (decimals >= places) {
            if (decimals++ == places)
                roundUp = *c >= '5';
            continue;
        }
        if (value > ceiling)
            return std::nullopt;
        value = value * 10 + (*c - '0');
        if (decimals >= 0)
            ++decimals;
    }
    for (int d = std::max(decimals, 0); d < places; ++d) {
        if (value > ceiling)
            return std::nullopt;
        value *= 10;
    }
    if (roundUp)
        ++value;
    return negative ? -value : value;
}

// The delimiter a #DELIM value declares, or why it cannot serve.
struct Delimiter
{
    std::optional<QChar> character;
    QString problem;
};

// Blanks around the character do not count, but a blank alone is a space.
Delimiter delimiterOf(const QString &value)
{
    const QString character = value.trimmed();
    if (character.compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0)
        return {QChar(u'\t'), {}};
    if (value.isEmpty())
        return {std::nullopt,
                QStringLiteral("\"#DELIM=\" names no delimiter: put the character that separates "
                               "the fields after the \"=\", \"|\" for the reports of this program.")};
    if (character.isEmpty() || character == u"#")
        return {std::nullopt,
                QStringLiteral("The delimiter may be neither a space nor \"#\": the AAVSO would "
                               "split the lines wrongly. Use \"|\" as this program does.")};
    if (character.size() != 1 || character.at(0).unicode() < 0x20 || character.at(0).unicode() > 0x7e)
        return {std::nullopt,
                QStringLiteral("The delimiter must be one plain character (or the word \"tab\"); "
                               "\"%1\" is not. Use \"|\" as this program does.")
                    .arg(shown(character))};
    return {character.at(0), {}};
}

// A "#NAME=value" line: the name in capitals, the value as written.
struct Parameter
{
    QString name;
    QString value;
};

std::optional<Parameter> parameterOf(const QString &line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    return Parameter{line.mid(1, equals - 1).trimmed().toUpper(), line.mid(equals + 1)};
}

// How a report's bytes are laid out: their encoding, where the text begins
// after a byte-order mark, and the byte that ends a line.
enum class Encoding { Cp1252, Utf8, Utf16 };
struct Layout
{
    Encoding encoding = Encoding::Cp1252;
    qsizetype start = 0;
    char lineEnd = '\n';
};

Layout layoutOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return {Encoding::Utf16, 0, '\n'};
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    // A file without LF whose lines end in CR alone, as some older editors write them.
    const char lineEnd = !bytes.contains('\n') && bytes.contains('\r') ? '\r' : '\n';
    return {utf8 ? Encoding::Utf8 : Encoding::Cp1252, utf8 ? 3 : 0, lineEnd};
}

QString decoded(std::string_view bytes, Encoding encoding)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (encoding == Encoding::Utf8)
        return QString::fromUtf8(bytes.data(), size);
    return appfiles::fromCp1252(QByteArray::fromRawData(bytes.data(), size));
}

// Each line without its line end, with its number, until the handler says
// stop. A final line end ends the last line; it does not begin an empty one.
template<typename Handle>
void eachLine(const QByteArray &bytes, const Layout &layout, Handle &&handle)
{
    const char *begin = bytes.constData() + layout.start;
    const char *const end = bytes.constData() + bytes.size();
    for (int number = 1; begin < end; ++number) {
        const auto *lineEnd =
            static_cast<const char *>(std::memchr(begin, layout.lineEnd, static_cast<std::size_t>(end - begin)));
        const char *const stop = lineEnd ? lineEnd : end;
        std::string_view line(begin, static_cast<std::size_t>(stop - begin));
        if (layout.lineEnd == '\n' && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!handle(line, number))
            return;
        begin = stop + 1;
    }
}

// The code letters of the comment-code list the observation screen offers.
const QString &commentLetters()
{
    static const QString letters = [] {
        QString all;
        for (const QString &item : commentCodes())
            all += item.at(0);
        return all;
    }();
    return letters;
}

QString commentLetterList()
{
    QStringList letters;
    for (const QChar letter : commentLetters())
        letters.append(letter);
    return letters.join(QStringLiteral(", "));
}

bool isCommentCode(QStringView value)
{
    if (value.compare(absent, Qt::CaseInsensitive) == 0)
        return true;
    bool letter = false;
    for (const QChar c : value) {
        if (c == u' ')
            continue;
        if (!commentLetters().contains(c.toUpper()))
            return false;
        letter = true;
    }
    return letter;
}

QString dateOf(double jd)
{
    return QString::number(jd, 'f', 4);
}

// A data line of eight fields, as the file gives them.
struct Observation
{
    int line = 0;
    // Parts of the line's text, which outlives the observation.
    std::array<QStringView, fieldCount> values;
    std::optional<ObservationKey> key;

    QStringView value(Field field) const { return values.at(static_cast<std::size_t>(field)); }
};

// The star, date and magnitude of an observation, as a finding shows them.
QString keyText(const Observation &observation)
{
    QString text = observation.value(Field::Name).toString();
    for (const Field field : {Field::Date, Field::Magnitude}) {
        text += QLatin1String(", ");
        text += observation.value(field);
    }
    return text;
}

size_t hashOf(QStringView star, qint64 days, bool fainterThan, qint64 magnitudes)
{
    return qHashMulti(0, star, days, fainterThan, magnitudes);
}

class Reader
{
public:
    Reader(const QByteArray &bytes, const QDateTime &now, const std::optional<ReportDay> &day);
    Reading read();

private:
    void add(Severity severity, int line, const QString &field, QStringView value, const QString &reason);
    QString textOf(std::string_view line) const;
    void declarations();
    void header(int number, const QString &text);
    void data(int number, const QString &text);
    void characters(int number, const QString &field, QStringView value, bool plainAsciiWanted);
    void fields(Observation &observation);
    void date(const Observation &observation);
    void night(const Observation &observation, double jd, double slack);
    void magnitude(const Observation &observation);
    void lengthsAndAbsence(const Observation &observation);
    void duplicates(const Observation &observation);

    const QByteArray &m_bytes;
    const Layout m_layout;
    const double m_now;
    const std::optional<ReportDay> m_day;
    // Reckoned once: local time is slow to reckon.
    const Night m_night;
    Reading m_reading;
    std::optional<QChar> m_delimiter;
};

Reader::Reader(const QByteArray &bytes, const QDateTime &now, const std::optional<ReportDay> &day)
    : m_bytes(bytes)
    , m_layout(layoutOf(bytes))
    , m_now(julianDate(now))
    , m_day(day)
    , m_night(day ? nightOf(day->date) : Night())
{
}

void Reader::add(Severity severity, int line, const QString &field, QStringView value, const QString &reason)
{
    m_reading.findings.add(severity, line, field, value, reason);
}

QString Reader::textOf(std::string_view line) const
{
    return decoded(line, m_layout.encoding);
}

// A line before the header's declarations is read with the first of them,
// and a declaration the whole file lacks is named before any line.
void Reader::declarations()
{
    const struct
    {
        const char *name;
        QString reason;
    } required[] = {
        {"TYPE",
         QStringLiteral("The header has no line \"#TYPE=Visual\", so the AAVSO cannot tell what kind of "
                        "report this is.")},
        {"OBSCODE",
         QStringLiteral("The header has no line \"#OBSCODE=\" with your AAVSO observer code, so the "
                        "observations would be nobody's.")},
        {"DELIM",
         QStringLiteral("The header has no line \"#DELIM=\" naming the character between the fields, so "
                        "no line can be read. This program writes \"#DELIM=|\".")},
        {"DATE",
         QStringLiteral("The header has no line \"#DATE=JD\", so the AAVSO cannot tell how the dates are "
                        "written.")},
    };
    std::array<bool, std::size(required)> declared{};
    eachLine(m_bytes, m_layout, [&](std::string_view line, int) {
        if (line.empty() || line.front() != '#')
            return true;
        const auto parameter = parameterOf(textOf(line));
        if (!parameter)
            return true;
        for (std::size_t i = 0; i < declared.size(); ++i) {
            if (declared[i] || parameter->name != QLatin1String(required[i].name))
                continue;
            declared[i] = true;
            if (parameter->name == u"DELIM")
                m_delimiter = delimiterOf(parameter->value).character;
        }
        return true;
    });
    for (std::size_t i = 0; i < declared.size(); ++i) {
        if (!declared[i])
            add(Severity::Error, 0, QLatin1Char('#') + QLatin1String(required[i].name), {}, required[i].reason);
    }
}

Reading Reader::read()
{
    if (m_layout.encoding == Encoding::Utf16) {
        add(Severity::Error, 0, QStringLiteral("file"), {},
            QStringLiteral("The file is written in UTF-16 (\"Unicode\" in many editors), which the AAVSO cannot "
                           "read. Save it as plain text (\"ANSI\" or \"UTF-8\" under \"Save as\") and check it "
                           "again."));
        return std::move(m_reading);
    }
    if (m_layout.lineEnd == '\r')
        add(Severity::Warning, 0, QStringLiteral("file"), {},
            QStringLiteral("The lines end in a carriage return (CR) alone, as some older editors write them. They "
                           "are read as lines here, but the AAVSO may take the whole file for one line: save it "
                           "with Windows line ends (CR LF)."));
    declarations();
    eachLine(m_bytes, m_layout, [this](std::string_view line, int number) {
        const QString text = textOf(line);
        if (text.startsWith(u'#'))
            header(number, text);
        else
            data(number, text);
        return true;
    });
    return std::move(m_reading);
}

void Reader::header(int number, const QString &text)
{
    const auto parameter = parameterOf(text);
    const QString name = parameter ? parameter->name : QString();
    const bool known = name == u"TYPE" || name == u"OBSCODE" || name == u"DELIM" || name == u"DATE"
        || name == u"SOFTWARE" || name == u"OBSTYPE";
    // A comment is the observer's own; only what would break the file counts there.
    characters(number, known ? QLatin1Char('#') + name : QStringLiteral("comment"), text, known);
    if (!known)
        return;
    // A delimiter is read from the value as written: a blank may be all of it.
    const QString value = name == u"DELIM" ? parameter->value : parameter->value.trimmed();
    const QString field = QLatin1Char('#') + name;

    if (name == u"TYPE" && value.compare(QLatin1String("Visual"), Qt::CaseInsensitive) != 0) {
        add(Severity::Error, number, field, value,
            QStringLiteral("This is read as a Visual report, whose header says \"#TYPE=Visual\"."));
    } else if (name == u"OBSCODE") {
        if (value.isEmpty())
            add(Severity::Error, number, field, value,
                QStringLiteral("The observer code is empty: put the code the AAVSO gave you after \"#OBSCODE=\"."));
        else if (value.compare(appfiles::exampleObserverCode(), Qt::CaseInsensitive) == 0)
            add(Severity::Warning, number, field, value,
                QStringLiteral("%1 is the example code of the default header, not yours: the observations would "
                               "be credited to someone else. Put your own AAVSO observer code in its place, and "
                               "in the header editor too.")
                    .arg(value));
    } else if (name == u"DELIM") {
        const Delimiter delimiter = delimiterOf(value);
        m_delimiter = delimiter.character;
        if (!delimiter.character)
            add(Severity::Error, number, field, value, delimiter.problem);
    } else if (name == u"DATE" && value.compare(QLatin1String("JD"), Qt::CaseInsensitive) != 0) {
        add(Severity::Error, number, field, value,
            QStringLiteral("The dates of a Visual report are Julian Dates: the header must say \"#DATE=JD\"."));
    }
}

void Reader::data(int number, const QString &text)
{
    // Without a delimiter no line can be split; the header's finding says why.
    if (!m_delimiter)
        return;
    const QString delimiter = delimiterName(*m_delimiter);
    if (text.isEmpty()) {
        add(Severity::Error, number, QStringLiteral("line"), text,
            QStringLiteral("The line is empty: every line of a report holds an observation of eight fields or "
                           "begins with \"#\". Delete the empty line."));
        return;
    }
    // Counted before the line is split: a line of a million delimiters is no observation.
    const qsizetype count = text.count(*m_delimiter) + 1;
    const QString counted = count == 1 ? QStringLiteral("1 field") : QStringLiteral("%1 fields").arg(count);
    if (count < fieldCount) {
        add(Severity::Error, number, QStringLiteral("line"), text,
            QStringLiteral("The line has %1 separated by %2, but an observation has eight fields: star name, "
                           "date, magnitude, comment code, two comparison stars, chart and notes. Write \"na\" "
                           "for a value you do not have.")
                .arg(counted, delimiter));
        return;
    }
    if (count > fieldCount) {
        add(Severity::Error, number, QStringLiteral("line"), text,
            QStringLiteral("The line has %1 separated by %2, but an observation has eight fields: a value holds "
                           "the delimiter %2. Take it out of the value.")
                .arg(counted, delimiter));
        return;
    }
    Observation observation;
    observation.line = number;
    const QList<QStringView> values = QStringView(text).split(*m_delimiter);
    std::copy(values.begin(), values.end(), observation.values.begin());
    fields(observation);
    duplicates(observation);
    if (observation.key)
        m_reading.estimates.append(
            {number, observation.value(Field::Name).toString(), observation.value(Field::Date).toString(),
             observation.value(Field::Magnitude).toString(), observation.value(Field::Comp1).toString(),
             observation.value(Field::Comp2).toString(), QString(), observation.value(Field::Chart).toString()});
    ++m_reading.observations;
}

void Reader::characters(int number, const QString &field, QStringView value, bool plainAsciiWanted)
{
    std::optional<QChar> unassigned;
    std::optional<QChar> control;
    std::optional<QChar> foreign;
    for (const QChar c : value) {
        const char16_t code = c.unicode();
        // Decoding leaves only the bytes the code page has no character for in this range.
        if (code >= 0x80 && code < 0xa0)
            unassigned = unassigned.value_or(c);
        else if (code < 0x20 || code == 0x7f)
            control = control.value_or(c);
        else if (code > 0x7e)
            foreign = foreign.value_or(c);
    }
    if (unassigned)
        add(Severity::Error, number, field, value,
            QStringLiteral("The byte %1 stands for no character in the report's code page (Windows-1252), so the "
                           "AAVSO cannot read it. Retype the value.")
                .arg(QStringLiteral("0x") + QString::number(unassigned->unicode(), 16).toUpper()));
    if (control)
        add(Severity::Error, number, field, value,
            QStringLiteral("The value holds a control character (%1), which the upload cannot read. Remove it.")
                .arg(*control == u'\t' ? QStringLiteral("a tab") : QStringLiteral("code %1").arg(control->unicode())));
    if (foreign && plainAsciiWanted)
        add(Severity::Warning, number, field, value,
            QStringLiteral("The character \"%1\" is not plain ASCII; the AAVSO may show it wrongly. Use plain "
                           "letters where you can.")
                .arg(*foreign));
}

void Reader::fields(Observation &observation)
{
    for (int i = 0; i < fieldCount; ++i)
        characters(observation.line, fieldName(static_cast<Field>(i)), observation.values.at(i), true);
    if (observation.value(Field::Name).isEmpty())
        add(Severity::Error, observation.line, fieldName(Field::Name), {},
            QStringLiteral("The star name is empty: the AAVSO cannot tell which star was observed."));
    date(observation);
    magnitude(observation);
    const QStringView code = observation.value(Field::CommentCode);
    if (!code.isEmpty() && !isCommentCode(code))
        add(Severity::Warning, observation.line, fieldName(Field::CommentCode), code,
            QStringLiteral("Comment codes are letters of the AAVSO's list (%1), or \"na\" for none.")
                .arg(commentLetterList()));
    lengthsAndAbsence(observation);
    observation.key = observationKey(observation.value(Field::Name), observation.value(Field::Date),
                                     observation.value(Field::Magnitude));
}

void Reader::date(const Observation &observation)
{
    const QStringView text = observation.value(Field::Date);
    const QString field = fieldName(Field::Date);
    if (!isDecimal(charsOf(text), false, false)) {
        add(Severity::Error, observation.line, field, text,
            QStringLiteral("The date must be a Julian Date: a number such as 2458124.3958."));
        return;
    }
    const qsizetype point = text.indexOf(u'.');
    const qsizetype decimals = point < 0 ? 0 : text.size() - point - 1;
    const double jd = text.toDouble();
    const double slack = 0.5 * std::pow(10.0, -static_cast<double>(decimals));
    // Julian Day numbers count from noon; the date begins half a day before.
    const double earliest = static_cast<double>(earliestDate.toJulianDay()) - 0.5;
    if (jd - slack > m_now + clockAllowance) {
        add(Severity::Error, observation.line, field, text,
            QStringLiteral("The date lies in the future (it is now JD %1). Was it typed wrongly, or taken from a "
                           "clock ahead of Universal Time?")
                .arg(dateOf(m_now)));
        return;
    }
    if (jd + slack < earliest) {
        add(Severity::Error, observation.line, field, text,
            QStringLiteral("The date lies before 1 January 1800 (JD %1), and the AAVSO takes no observation that "
                           "old. Check the number.")
                .arg(earliest, 0, 'f', 1));
        return;
    }
    night(observation, jd, slack);
}

void Reader::night(const Observation &observation, double jd, double slack)
{
    if (!m_day)
        return;
    if (jd + slack >= m_night.begin && jd - slack <= m_night.end)
        return;
    add(Severity::Warning, observation.line, fieldName(Field::Date), observation.value(Field::Date),
        QStringLiteral("The date lies outside the night of %1 that %2 holds (local midnight to noon the next day: "
                       "JD %3 to %4). Check the date, and that the time was given in Universal Time.")
            .arg(QLocale(QLocale::English).toString(m_day->date, QStringLiteral("d MMMM yyyy")), m_day->fileName)
            .arg(m_night.begin, 0, 'f', 4)
            .arg(m_night.end, 0, 'f', 4));
}

void Reader::magnitude(const Observation &observation)
{
    const QStringView text = observation.value(Field::Magnitude);
    const QString field = fieldName(Field::Magnitude);
    const QStringView number = text.mid(text.startsWith(u'<') ? 1 : 0);
    if (!isDecimal(charsOf(number), true, true)) {
        add(Severity::Error, observation.line, field, text,
            QStringLiteral("The magnitude must be a number with a decimal point, such as 11.2, or after \"<\" "
                           "for a star fainter than that, such as <13.0."));
        return;
    }
    const double value = number.toDouble();
    if (value < brightestMagnitude || value > faintestMagnitude)
        add(Severity::Warning, observation.line, field, text,
            QStringLiteral("Visual estimates lie between magnitude %1 and %2; %3 does not. Check the number.")
                .arg(brightestMagnitude)
                .arg(faintestMagnitude)
                .arg(shown(text)));
}

void Reader::lengthsAndAbsence(const Observation &observation)
{
    for (const LengthLimit &limit : lengthLimits) {
        const QStringView value = observation.value(limit.field);
        if (value.size() > limit.length)
            add(Severity::Warning, observation.line, fieldName(limit.field), value,
                QStringLiteral("The %1 field has %2 characters, but the AAVSO keeps only %3. Shorten it.")
                    .arg(fieldName(limit.field))
                    .arg(value.size())
                    .arg(limit.length));
    }
    for (const Field field : absentAsNa) {
        if (observation.value(field).isEmpty())
            add(Severity::Warning, observation.line, fieldName(field), {},
                QStringLiteral("The %1 field is empty: the format writes \"na\" where there is no value.")
                    .arg(fieldName(field)));
    }
}

void Reader::duplicates(const Observation &observation)
{
    if (!observation.key)
        return;
    const QString text = keyText(observation);
    const qsizetype first = m_reading.keys.add(*observation.key, observation.line, text);
    if (m_reading.keys.line(first) == observation.line)
        return;
    add(Severity::Error, observation.line, QStringLiteral("line"), text,
        QStringLiteral("The same observation (star, date and magnitude) is on line %1 already. The AAVSO asks "
                       "never to send an observation twice: delete one of the two lines.")
            .arg(m_reading.keys.line(first)));
}
}

QString fieldName(Field field)
{
    switch (field) {
    case Field::Name: return QStringLiteral("star name");
    case Field::Date: return QStringLiteral("date");
    case Field::Magnitude: return QStringLiteral("magnitude");
    case Field::CommentCode: return QStringLiteral("comment code");
    case Field::Comp1: return QStringLiteral("comparison star 1");
    case Field::Comp2: return QStringLiteral("comparison star 2");
    case Field::Chart: return QStringLiteral("chart");
    case Field::Notes: return QStringLiteral("notes");
    }
    return {};
}

std::optional<ObservationKey> observationKey(QStringView star, QStringView date, QStringView magnitude)
{
    const bool fainterThan = magnitude.startsWith(u'<');
    const QStringView number = magnitude.mid(fainterThan ? 1 : 0);
    if (!isDecimal(charsOf(date), false, false) || !isDecimal(charsOf(number), true, true))
        return std::nullopt;
    const auto days = scaled(charsOf(date), 4);
    const auto magnitudes = scaled(charsOf(number), 3);
    if (!days || !magnitudes)
        return std::nullopt;
    return ObservationKey{star.toString().toCaseFolded(), *days, fainterThan, *magnitudes};
}

QString shown(QStringView value)
{
    if (value.size() <= shownLength)
        return visible(value);
    // Never half a character of two UTF-16 units.
    const qsizetype cut = value.at(shownLength - 1).isHighSurrogate() ? shownLength - 1 : shownLength;
    return visible(value.left(cut))
        + QStringLiteral("… (%1 characters in all)").arg(QLocale(QLocale::English).toString(value.size()));
}

void Findings::add(Severity severity, int line, const QString &field, QStringView value, const QString &reason)
{
    const auto kind = static_cast<std::size_t>(severity);
    ++m_counts[kind];
    const qint64 order = m_added++;
    QList<Entry> &kept = m_kept[kind];
    if (kept.size() == keptOfEachKind) {
        if (std::pair(line, order) > std::pair(kept.front().finding.line, kept.front().order))
            return;
        std::pop_heap(kept.begin(), kept.end(), earlier);
        kept.removeLast();
    }
    kept.append(Entry{Finding{severity, line, field, shown(value), reason}, order});
    std::push_heap(kept.begin(), kept.end(), earlier);
}

bool Findings::earlier(const Entry &a, const Entry &b)
{
    return std::pair(a.finding.line, a.order) < std::pair(b.finding.line, b.order);
}

int Findings::errors() const
{
    return m_counts[static_cast<std::size_t>(Severity::Error)];
}

int Findings::warnings() const
{
    return m_counts[static_cast<std::size_t>(Severity::Warning)];
}

QList<Finding> Findings::list() const
{
    QList<Finding> findings;
    for (QList<Entry> kept : m_kept) {
        std::sort_heap(kept.begin(), kept.end(), earlier);
        for (Entry &entry : kept)
            findings.append(std::move(entry.finding));
    }
    return findings;
}

qsizetype KeyIndex::add(const ObservationKey &key, int line, QStringView text)
{
    if (2 * (m_entries.size() + 1) > m_slots.size())
        grow();
    const auto mask = static_cast<size_t>(m_slots.size() - 1);
    size_t slot = slotOf(key);
    for (; m_slots.at(slot) >= 0; slot = (slot + 1) & mask) {
        if (matches(m_entries.at(m_slots.at(slot)), key))
            return m_slots.at(slot);
    }
    m_slots[slot] = static_cast<int>(m_entries.size());
    m_entries.append(Entry{key.tenThousandthDays, key.thousandthMagnitudes, m_texts.size(), line,
                           static_cast<int>(key.star.size()), static_cast<int>(text.size()), key.fainterThan});
    m_texts += key.star;
    m_texts += text;
    return m_entries.size() - 1;
}

std::optional<qsizetype> KeyIndex::find(const ObservationKey &key) const
{
    if (m_slots.isEmpty())
        return std::nullopt;
    const auto mask = static_cast<size_t>(m_slots.size() - 1);
    for (size_t slot = slotOf(key); m_slots.at(slot) >= 0; slot = (slot + 1) & mask) {
        if (matches(m_entries.at(m_slots.at(slot)), key))
            return m_slots.at(slot);
    }
    return std::nullopt;
}

qsizetype KeyIndex::size() const
{
    return m_entries.size();
}

int KeyIndex::line(qsizetype number) const
{
    return m_entries.at(number).line;
}

QString KeyIndex::text(qsizetype number) const
{
    const Entry &entry = m_entries.at(number);
    return m_texts.mid(entry.at + entry.starLength, entry.textLength);
}

QList<qint64> KeyIndex::dates() const
{
    QList<qint64> dates;
    dates.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        dates.append(entry.days);
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    return dates;
}

bool KeyIndex::matches(const Entry &entry, const ObservationKey &key) const
{
    return entry.days == key.tenThousandthDays && entry.magnitudes == key.thousandthMagnitudes
        && entry.fainterThan == key.fainterThan && QStringView(m_texts).mid(entry.at, entry.starLength) == key.star;
}

size_t KeyIndex::slotOf(const ObservationKey &key) const
{
    return hashOf(key.star, key.tenThousandthDays, key.fainterThan, key.thousandthMagnitudes)
        & static_cast<size_t>(m_slots.size() - 1);
}

void KeyIndex::grow()
{
    m_slots = QList<int>(std::max<qsizetype>(64, 2 * m_slots.size()), -1);
    const auto mask = static_cast<size_t>(m_slots.size() - 1);
    for (qsizetype number = 0; number < m_entries.size(); ++number) {
        const Entry &entry = m_entries.at(number);
        size_t slot = hashOf(QStringView(m_texts).mid(entry.at, entry.starLength), entry.days, entry.fainterThan,
                             entry.magnitudes)
            & mask;
        while (m_slots.at(slot) >= 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = static_cast<int>(number);
    }
}

Night nightOf(const QDate &date)
{
    return {julianDate(QDateTime(date, QTime(0, 0))), julianDate(QDateTime(date.addDays(1), QTime(12, 0)))};
}

Reading readVisual(const QByteArray &bytes, const QDateTime &now, const std::optional<ReportDay> &day)
{
    return Reader(bytes, now, day).read();
}

bool isUtf16(const QByteArray &bytes)
{
    return layoutOf(bytes).encoding == Encoding::Utf16;
}

namespace
{
// Each line that is no header line, with its number and the delimiter that
// holds for it, quickly and without any check; as the reader does, the
// first declaration holds for the lines before it.
template<typename Handle>
void eachDataLine(const QByteArray &bytes, const Layout &layout, Handle &&handle)
{
    const auto declared = [&layout](std::string_view line) -> std::optional<std::optional<QChar>> {
        if (line.empty() || line.front() != '#')
            return std::nullopt;
        const auto parameter = parameterOf(decoded(line, layout.encoding));
        if (!parameter || parameter->name != u"DELIM")
            return std::nullopt;
        return delimiterOf(parameter->value).character;
    };
    std::optional<QChar> delimiter;
    eachLine(bytes, layout, [&](std::string_view line, int) {
        const auto found = declared(line);
        if (found)
            delimiter = *found;
        return !found;
    });
    eachLine(bytes, layout, [&](std::string_view line, int number) {
        if (!line.empty() && line.front() == '#') {
            if (const auto next = declared(line))
                delimiter = *next;
            return true;
        }
        if (!delimiter)
            return true;
        handle(line, number, static_cast<char>(delimiter->unicode()));
        return true;
    });
}
}

void forEachKey(const QByteArray &bytes, const QList<qint64> &dates,
                const std::function<void(const ObservationKey &, int line)> &visit)
{
    if (dates.isEmpty())
        return;
    // A sieve of one bit per date modulo 2^16 turns nearly every other date
    // away before the search.
    std::array<quint64, 1024> sieve{};
    for (const qint64 date : dates)
        sieve[static_cast<std::size_t>(date & 0xffff) >> 6] |= quint64(1) << (date & 63);
    const quint64 *const bits = sieve.data();
    const auto mayHold = [bits](qint64 date) { return (bits[(date & 0xffff) >> 6] >> (date & 63)) & 1; };
    const Layout layout = layoutOf(bytes);
    if (layout.encoding == Encoding::Utf16)
        return;
    eachDataLine(bytes, layout, [&](std::string_view line, int number, char separator) {
        // Only the name, date and magnitude count, and only for a date of the report checked.
        const std::size_t afterName = line.find(separator);
        const std::size_t afterDate = afterName == line.npos ? line.npos : line.find(separator, afterName + 1);
        if (afterDate == line.npos)
            return;
        const std::string_view date = line.substr(afterName + 1, afterDate - afterName - 1);
        if (!isDecimal(date, false, false))
            return;
        const auto days = scaled(date, 4);
        if (!days || !mayHold(*days) || !std::binary_search(dates.begin(), dates.end(), *days))
            return;
        const std::string_view magnitude =
            line.substr(afterDate + 1, line.find(separator, afterDate + 1) - afterDate - 1);
        const auto key = observationKey(decoded(line.substr(0, afterName), layout.encoding),
                                        decoded(date, layout.encoding), decoded(magnitude, layout.encoding));
        if (key)
            visit(*key, number);
    });
}

void forEachObservation(
    const QByteArray &bytes,
    const std::function<void(int line, QStringView star, QStringView date, QStringView magnitude)> &visit)
{
    const Layout layout = layoutOf(bytes);
    if (layout.encoding == Encoding::Utf16)
        return;
    eachDataLine(bytes, layout, [&](std::string_view line, int number, char separator) {
        // The delimiter is a plain character: no byte of another character is one.
        if (std::count(line.begin(), line.end(), separator) != fieldCount - 1)
            return;
        // Only the first three fields are read.
        std::size_t end = 0;
        for (int field = 0; field < 3; ++field)
            end = line.find(separator, end) + 1;
        const QString text = decoded(line.substr(0, end), layout.encoding);
        const QStringView fields(text);
        const QChar delimiter = QLatin1Char(separator);
        const qsizetype afterName = fields.indexOf(delimiter);
        const qsizetype afterDate = fields.indexOf(delimiter, afterName + 1);
        const qsizetype afterMagnitude = fields.indexOf(delimiter, afterDate + 1);
        visit(number, fields.first(afterName), fields.sliced(afterName + 1, afterDate - afterName - 1),
              fields.sliced(afterDate + 1, afterMagnitude - afterDate - 1));
    });
}

double julianDate(const QDateTime &moment)
{
    return static_cast<double>(moment.toMSecsSinceEpoch()) / 86'400'000.0 + 2'440'587.5;
}
}

const QStringList &commentCodes()
{
    static const QStringList list{
        "B - Bright sky, Moon etc", "D - Unusual activity", "I - Identification uncertain", "K - non-AAVSO chart",
        "L - Low, Obstructed",      "S - Sequence problem", "U - Clouds, haze...",          "V - faint, glimpsed",
        "W - Poor seeing",          "Y - Outburst",         "Z - Uncertain magnitude",
    };
    return list;
}

bool isNightly(const QString &nightly)
{
    return nightly == QLatin1String("yes");
}

} // namespace reports
