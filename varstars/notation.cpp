// SPDX-License-Identifier: GPL-2.0-or-later
#include "varstars/notation.h"

#include <QList>
#include <QVarLengthArray>

#include <algorithm>

namespace varstars
{

namespace
{
// The longest label in tenths a chart prints (99.9) and the most steps an
// eye tells apart, so that no arithmetic can overflow.
constexpr qsizetype labelDigits = 3;
constexpr qsizetype stepDigits = 2;

struct Token
{
    // A number (digits, perhaps a point and decimals), a letter (upper
    // case), or one of "(", ")", "=", "<".
    QChar kind;
    QStringView text;
    // Where it begins in the text.
    qsizetype at = 0;
};
constexpr char16_t number = u'0';
// Room for the longest notation, "110 (2) V (1) 116", without the heap.
using Tokens = QVarLengthArray<Token, 9>;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype digitsFrom(QStringView text, qsizetype i)
{
    while (i < text.size() && isDigit(text.at(i)))
        ++i;
    return i;
}

// Nothing when the text holds a character no notation has.
std::optional<Tokens> tokensOf(QStringView text)
{
    Tokens tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (isDigit(c)) {
            qsizetype end = digitsFrom(text, i);
            if (end < text.size() && text.at(end) == u'.')
                end = digitsFrom(text, end + 1);
            tokens.append({number, text.sliced(i, end - i), i});
            i = end;
        } else if (QStringView(u"ABVabv()=<").contains(c)) {
            tokens.append({c.toUpper(), text.sliced(i, 1), i});
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

// Whole tenths of a label, its points passed over as the comparison fields
// drop them ("11.0" and "110" are 110); nothing for what is no label.
std::optional<int> tenthsOf(QStringView label)
{
    int tenths = 0;
    qsizetype digits = 0;
    for (const QChar c : label) {
        if (c == u'.')
            continue;
        if (!isDigit(c) || ++digits > labelDigits)
            return std::nullopt;
        tenths = tenths * 10 + (c.unicode() - u'0');
    }
    return digits > 0 ? std::optional(tenths) : std::nullopt;
}

// The notation's tokens read from the first on.
class Reader
{
public:
    explicit Reader(const Tokens &tokens)
        : m_tokens(tokens)
    {
    }

    bool atEnd() const { return m_next == m_tokens.size(); }

    // Takes the next token when it is of the kind.
    bool take(QChar kind)
    {
        if (atEnd() || m_tokens.at(m_next).kind != kind)
            return false;
        ++m_next;
        return true;
    }

    // A label, with its point ("11.0") or without ("110"), or a letter A or B.
    std::optional<Notation::Star> star()
    {
        if (take(u'A') || take(u'B'))
            return Notation::Star{static_cast<char>(m_tokens.at(m_next - 1).kind.unicode()), 0};
        if (!take(number))
            return std::nullopt;
        const QStringView text = m_tokens.at(m_next - 1).text;
        const qsizetype point = text.indexOf(u'.');
        if (point >= 0 && (point == 0 || point != text.size() - 2))
            return std::nullopt;
        const std::optional<int> tenths = tenthsOf(text);
        return tenths ? std::optional(Notation::Star{0, *tenths}) : std::nullopt;
    }

    // A whole number of steps, perhaps in brackets; never 0.
    std::optional<int> steps()
    {
        const bool bracketed = take(u'(');
        if (!take(number))
            return std::nullopt;
        const QStringView text = m_tokens.at(m_next - 1).text;
        if (bracketed && !take(u')'))
            return std::nullopt;
        const int value = text.toInt();
        if (text.size() > stepDigits || text.contains(u'.') || value == 0)
            return std::nullopt;
        return value;
    }

private:
    const Tokens &m_tokens;
    qsizetype m_next = 0;
};

// Equal to one star, or fainter than it.
Notation compared(Notation::Form form, const Notation::Star &star)
{
    Notation notation;
    notation.form = form;
    notation.first = star;
    return notation;
}

// Steps from the first star: "110 2 V 1 116".
std::optional<Notation> stepsFrom(Reader &reader, const Notation::Star &first)
{
    Notation notation;
    notation.first = first;
    const std::optional<int> firstSteps = reader.steps();
    if (!firstSteps || !reader.take(u'V'))
        return std::nullopt;
    const std::optional<int> secondSteps = reader.steps();
    const std::optional<Notation::Star> second = reader.star();
    // Two labels, or the two letters.
    if (!secondSteps || !second || (first.letter == 0) != (second->letter == 0)
        || (first.letter != 0 && first.letter == second->letter))
        return std::nullopt;
    notation.second = *second;
    notation.firstSteps = *firstSteps;
    notation.secondSteps = *secondSteps;
    return notation;
}

// Equality or fainter-than, the variable first: "V = 98", "V < 116", "< 116".
std::optional<Notation> againstOne(Reader &reader, const Tokens &tokens, QStringView text)
{
    std::optional<Notation::Form> form;
    if (reader.take(u'V')) {
        if (reader.take(u'='))
            form = Notation::Form::Equal;
        else if (reader.take(u'<'))
            form = Notation::Form::FainterThan;
    } else if (reader.take(u'<')) {
        const qsizetype after = tokens.front().at + 1;
        if (after < text.size() && text.at(after).isSpace())
            form = Notation::Form::FainterThan;
    }
    const std::optional<Notation::Star> star = form ? reader.star() : std::nullopt;
    return star ? std::optional(compared(*form, *star)) : std::nullopt;
}

std::optional<Notation> read(const Tokens &tokens, QStringView text)
{
    if (tokens.isEmpty())
        return std::nullopt;
    Reader reader(tokens);
    std::optional<Notation> notation;
    if (tokens.front().kind == u'V' || tokens.front().kind == u'<') {
        notation = againstOne(reader, tokens, text);
    } else if (const std::optional<Notation::Star> first = reader.star(); first) {
        if (!reader.take(u'='))
            notation = stepsFrom(reader, *first);
        else if (reader.take(u'V'))
            notation = compared(Notation::Form::Equal, *first);
    }
    // Whatever follows a notation makes it free text.
    return reader.atEnd() ? notation : std::nullopt;
}

std::optional<int> tenthsOf(const Notation::Star &star, QStringView comp1, QStringView comp2)
{
    if (star.letter == 0)
        return star.tenths;
    return tenthsOf(star.letter == 'A' ? comp1 : comp2);
}
}

std::optional<Notation> readNotation(QStringView text)
{
    const std::optional<Tokens> tokens = tokensOf(text);
    if (!tokens)
        return std::nullopt;
    return read(*tokens, text);
}

QString Reduction::magnitude() const
{
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QStringList Reduction::labelTexts() const
{
    QStringList texts;
    for (const int label : labels)
        texts.append(QString::number(label));
    return texts;
}

std::optional<Reduction> reduce(const Notation &notation, QStringView comp1, QStringView comp2)
{
    const std::optional<int> first = tenthsOf(notation.first, comp1, comp2);
    if (!first)
        return std::nullopt;
    if (notation.form != Notation::Form::Steps)
        return Reduction{*first, notation.form == Notation::Form::FainterThan, {*first}};
    const std::optional<int> second = tenthsOf(notation.second, comp1, comp2);
    if (!second)
        return std::nullopt;
    // m1 + s1 (m2 - m1) / (s1 + s2), over the common denominator; labels are
    // never negative, so a half away from zero is a half up.
    const int total = notation.firstSteps + notation.secondSteps;
    const int numerator = *first * total + notation.firstSteps * (*second - *first);
    return Reduction{
        (2 * numerator + total) / (2 * total), false, {std::min(*first, *second), std::max(*first, *second)}};
}

std::optional<Reduction> workOut(QStringView written, QStringView comp1, QStringView comp2)
{
    const std::optional<Notation> notation = readNotation(written);
    return notation ? reduce(*notation, comp1, comp2) : std::nullopt;
}
}
