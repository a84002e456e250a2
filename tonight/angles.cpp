// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/angles.h"

#include "varstars/elements.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <optional>

namespace tonight
{
namespace
{
// An angle as written: its sign, its hemisphere letter, its one to three numbers.
struct Written
{
    bool signedText = false;
    bool negative = false;
    QChar letter;
    QList<double> parts;
};

std::optional<Written> split(QString text, QStringView letters)
{
    static const QRegularExpression separators(QStringLiteral("[\\s:°′″'\"]+"));
    static const QRegularExpression number(QStringLiteral("^(\\d+(\\.\\d*)?|\\.\\d+)$"));
    Written written;
    text = text.trimmed().replace(QChar(0x2212), u'-');
    if (!text.isEmpty() && letters.contains(text.back().toUpper())) {
        written.letter = text.back().toUpper();
        text.chop(1);
    } else if (!text.isEmpty() && letters.contains(text.front().toUpper())) {
        written.letter = text.front().toUpper();
        text.remove(0, 1);
    }
    text = text.trimmed();
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        written.signedText = true;
        written.negative = text.front() == u'-';
        text.remove(0, 1);
    }
    const QStringList parts = text.split(separators, Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 3)
        return std::nullopt;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        // Only the last number may have a fraction; minutes and seconds stay below 60.
        if (!number.match(parts.at(i)).hasMatch() || (i + 1 < parts.size() && parts.at(i).contains(u'.')))
            return std::nullopt;
        const std::optional<double> part = varstars::parseDecimal(parts.at(i));
        if (!part || (i > 0 && *part >= 60))
            return std::nullopt;
        written.parts.append(*part);
    }
    return written;
}

double value(const Written &written)
{
    double angle = 0;
    for (qsizetype i = written.parts.size() - 1; i >= 0; --i)
        angle = written.parts.at(i) + angle / 60;
    return written.negative ? -angle : angle;
}

struct SiteAngle
{
    const char *field;
    const char *name;
    QStringView letters; // positive, then negative
    double limit;
    const char *example;
};

outcome::Result<double> siteAngle(const QString &text, const SiteAngle &kind)
{
    const QString field = QString::fromLatin1(kind.field);
    const QString name = QString::fromLatin1(kind.name);
    const std::optional<Written> written = split(text, kind.letters);
    if (!written || (written->signedText && !written->letter.isNull()))
        return outcome::refused(QStringLiteral("The %1 \"%2\" is not an angle: write decimal degrees, %3 positive, or "
                                               "degrees, minutes and seconds with %4 or %5 (%6).")
                                    .arg(name, text.trimmed(),
                                         kind.letters.at(0) == u'N' ? QStringLiteral("north") : QStringLiteral("east"))
                                    .arg(kind.letters.at(0))
                                    .arg(kind.letters.at(1))
                                    .arg(QLatin1String(kind.example)),
                                field);
    const double angle = written->letter == kind.letters.at(1) ? -value(*written) : value(*written);
    if (std::abs(angle) > kind.limit)
        return outcome::refused(QStringLiteral("The %1 must lie between -%2° and +%2°; %3 is beyond.")
                                    .arg(name)
                                    .arg(kind.limit)
                                    .arg(text.trimmed()),
                                field);
    return angle;
}
}

outcome::Result<double> parseLatitude(const QString &text)
{
    return siteAngle(text, {"txtLatitude", "latitude", u"NS", 90, "52.52 or 52 31 12 N"});
}

outcome::Result<double> parseLongitude(const QString &text)
{
    return siteAngle(text, {"txtLongitude", "longitude", u"EW", 180, "13.40 or 13 24 00 E"});
}

outcome::Result<double> parseRightAscension(const QString &text)
{
    const std::optional<Written> written = split(text, {});
    if (!written || written->signedText)
        return outcome::refused(
            QStringLiteral("The right ascension \"%1\" is not one: write hours, minutes and seconds "
                           "(12 34 56.7 or 12:34:56.7) or degrees (188.736).")
                .arg(text.trimmed()),
            QStringLiteral("txtRa"));
    const bool hours = written->parts.size() > 1;
    const double angle = hours ? value(*written) * 15 : value(*written);
    if (angle >= 360)
        return outcome::refused(QStringLiteral("The right ascension must lie below %1; %2 is beyond.")
                                    .arg(hours ? QStringLiteral("24 hours") : QStringLiteral("360°"), text.trimmed()),
                                QStringLiteral("txtRa"));
    return angle;
}

outcome::Result<double> parseDeclination(const QString &text)
{
    const std::optional<Written> written = split(text, {});
    if (!written)
        return outcome::refused(QStringLiteral("The declination \"%1\" is not one: write degrees, minutes and seconds "
                                               "(-05 30 00 or +41:16:09) or degrees (41.269).")
                                    .arg(text.trimmed()),
                                QStringLiteral("txtDec"));
    const double angle = value(*written);
    if (std::abs(angle) > 90)
        return outcome::refused(
            QStringLiteral("The declination must lie between -90° and +90°; %1 is beyond.").arg(text.trimmed()),
            QStringLiteral("txtDec"));
    return angle;
}

bool isBareNumber(const QString &text)
{
    const std::optional<Written> written = split(text, {});
    return written && written->parts.size() == 1;
}
}
