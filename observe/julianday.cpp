// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/julianday.h"

#include <cmath>

namespace observe
{

double modProcesses::julianday(qint16 year, qint16 month, float day)
{
    // January and February count as months 13 and 14 of the year before.
    if (month == 1 || month == 2) {
        year = static_cast<qint16>(year - 1);
        month = static_cast<qint16>(month + 12);
    }
    const auto a = static_cast<qint16>(std::floor(year / 100.0));
    const auto b = static_cast<qint16>(2 - a + static_cast<qint16>(std::floor(a / 4.0)));
    const auto yearterm = static_cast<qint16>(year + 4716);
    const auto monthterm = static_cast<qint16>(month + 1);

    double jd = std::floor(365.25 * yearterm);
    jd += std::floor(30.6001 * monthterm);
    jd += day;
    jd += b;
    jd -= 1524.5;
    jd += 0.5;
    return jd;
}

double modProcesses::observationJd(qint16 year, qint16 month, float day, int hour, int minute)
{
    // The time of day is held in single precision, and so is its share of a
    // day, as the recorded Julian Dates have always been computed.
    const auto hours = static_cast<float>(hour + minute / 60.0);
    const float dayshare = hours / 24.0f;
    return julianday(year, month, day) + (static_cast<double>(dayshare) - 0.5);
}

namespace
{
// A double's decimal text holds 15 reliable significant digits; rounding
// that text rather than the binary value lets 2.675 become 2.68, and
// 00:27 of a nightly star .5188, as the observer would round by hand.
constexpr int significantDigits = 15;

qint64 powerOfTen(int exponent)
{
    qint64 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

// Rounds half away from zero to `decimals` places and returns the digits
// without a point, so the value is the result / 10^decimals.
QString roundedDigits(double value, int decimals)
{
    // "d.dddddddddddddde±x": 15 significant digits and the power of ten.
    const QString scientific = QString::number(value, 'e', significantDigits - 1);
    const qsizetype e = scientific.indexOf(u'e');
    const qint64 mantissa = QString(scientific.left(1) + scientific.mid(2, e - 2)).toLongLong();
    const int shift = scientific.mid(e + 1).toInt() - (significantDigits - 1) + decimals;

    if (shift >= 0)
        return QString::number(mantissa) + QString(shift, u'0');
    if (-shift > significantDigits)
        return QStringLiteral("0");
    const qint64 unit = powerOfTen(-shift);
    qint64 kept = mantissa / unit;
    if (2 * (mantissa % unit) >= unit)
        ++kept;
    return QString::number(kept);
}

QString shortestForm(QString text)
{
    if (!text.contains(u'.'))
        return text;
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}
}

QString modProcesses::jdText(double jd, bool nightly)
{
    const int decimals = nightly ? 4 : 2;
    QString digits = roundedDigits(jd, decimals);
    if (digits.size() <= decimals)
        digits = QString(decimals + 1 - digits.size(), u'0') + digits;
    return shortestForm(digits.left(digits.size() - decimals) + u'.' + digits.right(decimals));
}

} // namespace observe
