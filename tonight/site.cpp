// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/site.h"

#include "appfiles/boundedread.h"
#include "tonight/angles.h"
#include "varstars/elements.h"

#include <QSaveFile>
#include <QStringList>

#include <cmath>
#include <optional>
#include <utility>

namespace tonight
{
namespace
{
const QString siteGroup = QStringLiteral("site");
const QString cadenceGroup = QStringLiteral("cadence");
// The keys of the group [site].
const QString latitudeKey = QStringLiteral("latitude");
const QString longitudeKey = QStringLiteral("longitude");
const QString heightKey = QStringLiteral("height");
const QString lowestKey = QStringLiteral("lowest_altitude");
const QString darkKey = QStringLiteral("dark_sun_altitude");
const QString zoneKey = QStringLiteral("timezone");

struct Number
{
    const char *field;
    const char *wording;
    double low;
    double high;
};

outcome::Result<double> number(const QString &text, const Number &rule)
{
    const std::optional<double> value = varstars::parseDecimal(text);
    if (!value || *value < rule.low || *value > rule.high)
        return outcome::refused(QStringLiteral("The %1 must be a number from %2 to %3; \"%4\" is not.")
                                    .arg(QLatin1String(rule.wording))
                                    .arg(rule.low)
                                    .arg(rule.high)
                                    .arg(text.trimmed()),
                                QLatin1String(rule.field));
    return *value;
}

QString decimal(double value)
{
    return QString::number(value, 'g', 12);
}

// Far beyond any real site file: reading stays quick whatever is put in its place.
constexpr qint64 largestSiteFile = 1024 * 1024;

outcome::Problem inFile(outcome::Problem problem, const QString &path, const QString &group)
{
    problem.message = QStringLiteral("%1, group [%2]: %3").arg(path, group, problem.message);
    return problem;
}

// The file's text; NotFound when there is none, else the problem's message
// the reason alone.
outcome::Result<QString> readText(const QString &path)
{
    const outcome::Result<QByteArray> bytes = appfiles::readBounded(path, largestSiteFile);
    if (!bytes)
        return bytes.problem();
    // The byte-order mark an editor may put first is no part of the first line.
    return QString::fromUtf8(bytes->startsWith("\xEF\xBB\xBF") ? bytes->sliced(3) : *bytes);
}

outcome::Problem unreadable(outcome::Problem problem, const QString &path)
{
    problem.message = QStringLiteral("%1 cannot be read: %2.").arg(path, problem.message);
    return problem;
}

// The name of a group line, "[site]".
std::optional<QString> groupOf(QStringView line)
{
    if (line.size() < 2 || !line.startsWith(u'[') || !line.endsWith(u']'))
        return std::nullopt;
    return line.sliced(1, line.size() - 2).trimmed().toString();
}

// A line "key=value" of a group; blank lines, comments (";" or "#") and
// anything else are none. A value may be quoted, and ";" begins a comment
// after an unquoted one.
std::optional<std::pair<QString, QString>> entryOf(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0 || line.startsWith(u';') || line.startsWith(u'#'))
        return std::nullopt;
    QStringView value = line.sliced(equals + 1).trimmed();
    if (value.startsWith(u'"') && value.indexOf(u'"', 1) > 0)
        value = value.sliced(1, value.indexOf(u'"', 1) - 1);
    else if (value.contains(u';'))
        value = value.first(value.indexOf(u';')).trimmed();
    return std::pair{line.first(equals).trimmed().toString(), value.toString()};
}

// The keys and values of a group; of a key given twice, the last.
QMap<QString, QString> groupIn(const QString &text, const QString &group)
{
    QMap<QString, QString> entries;
    QString current;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        if (const std::optional<QString> name = groupOf(line.trimmed()))
            current = *name;
        else if (const auto entry = entryOf(line.trimmed()); entry && current == group)
            entries.insert(entry->first, entry->second);
    }
    return entries;
}
}

QTimeZone Site::zone() const
{
    return timezone.isEmpty() ? QTimeZone::systemTimeZone() : QTimeZone(timezone.toUtf8());
}

double Site::pressure() const
{
    return 1013.25 * std::pow(1 - 0.0065 * height / 288.15, 5.2559);
}

outcome::Result<Site> siteFromText(const SiteText &text)
{
    Site site;
    const outcome::Result<double> latitude = parseLatitude(text.latitude);
    if (!latitude)
        return latitude.problem();
    const outcome::Result<double> longitude = parseLongitude(text.longitude);
    if (!longitude)
        return longitude.problem();
    const outcome::Result<double> height =
        number(text.height, {"txtHeight", "height above sea level in metres", -500, 9000});
    if (!height)
        return height.problem();
    const outcome::Result<double> lowest =
        number(text.lowestAltitude, {"txtLowestAltitude", "lowest altitude you see, in degrees,", 0, 80});
    if (!lowest)
        return lowest.problem();
    const outcome::Result<double> dark = number(
        text.darkSunAltitude, {"txtDarkSunAltitude", "altitude of the Sun that counts as dark, in degrees,", -18, 0});
    if (!dark)
        return dark.problem();
    const QString zone = text.timezone.trimmed();
    if (!zone.isEmpty() && !QTimeZone::isTimeZoneIdAvailable(zone.toUtf8()))
        return outcome::refused(QStringLiteral("The time zone \"%1\" is unknown: write a name such as Europe/Berlin or "
                                               "America/New_York, or leave it empty for the computer's time zone.")
                                    .arg(zone),
                                QStringLiteral("txtTimezone"));
    return Site{*latitude, *longitude, *height, *lowest, *dark, zone};
}

SiteText siteText(const Site &site)
{
    return {decimal(site.latitude),       decimal(site.longitude),       decimal(site.height),
            decimal(site.lowestAltitude), decimal(site.darkSunAltitude), site.timezone};
}

outcome::Result<Site> readSite(const QString &path)
{
    const outcome::Problem none =
        outcome::notFound(QStringLiteral("No observing site is set up: %1 gives no latitude and longitude.").arg(path));
    const outcome::Result<QString> text = readText(path);
    if (!text)
        return text.problem().kind == outcome::Kind::NotFound ? none : unreadable(text.problem(), path);
    const QMap<QString, QString> keys = groupIn(*text, siteGroup);
    if (!keys.contains(latitudeKey) || !keys.contains(longitudeKey))
        return none;
    const Site defaults;
    const outcome::Result<Site> site = siteFromText({
        keys.value(latitudeKey),
        keys.value(longitudeKey),
        keys.value(heightKey, decimal(defaults.height)),
        keys.value(lowestKey, decimal(defaults.lowestAltitude)),
        keys.value(darkKey, decimal(defaults.darkSunAltitude)),
        keys.value(zoneKey),
    });
    if (!site)
        return inFile(site.problem(), path, siteGroup);
    return site;
}

QString siteFileHelp(const QString &path)
{
    const Site example{52.52, 13.405, 34, 20, -12, QStringLiteral("Europe/Berlin")};
    const SiteText values = siteText(example);
    const Site defaults;
    QStringList lines{QStringLiteral("Set up the observing site in the Tonight screen, or write it into %1:").arg(path),
                      u'[' + siteGroup + u']'};
    for (const auto &[key, value] : {std::pair{latitudeKey, values.latitude},
                                     {longitudeKey, values.longitude},
                                     {heightKey, values.height},
                                     {lowestKey, values.lowestAltitude},
                                     {darkKey, values.darkSunAltitude},
                                     {zoneKey, values.timezone}})
        lines.append(key + u'=' + value);
    lines.append(QStringLiteral("%1 and %2 in decimal degrees (or degrees, minutes and seconds with N, S, E or W), "
                                "north and east positive; %3 above sea level in metres (default %4); %5: the lowest "
                                "altitude you see over trees and roofs, in degrees (default %6); %7: dark while the "
                                "Sun's centre is below it, -12 or -18 (default %8); %9: an IANA name for local times "
                                "(default the computer's time zone).")
                     .arg(latitudeKey, longitudeKey, heightKey, decimal(defaults.height), lowestKey,
                          decimal(defaults.lowestAltitude), darkKey, decimal(defaults.darkSunAltitude), zoneKey));
    return lines.join(u'\n');
}

outcome::Done writeSite(const QString &path, const Site &site)
{
    const auto failed = [&path](const QString &reason) {
        return outcome::failed(QStringLiteral("The site could not be saved in %1: %2.").arg(path, reason));
    };
    // What is there is kept but the site's keys; what cannot be read is not replaced.
    const outcome::Result<QString> text = readText(path);
    if (!text && text.problem().kind != outcome::Kind::NotFound)
        return failed(text.problem().message);
    QStringList lines = text ? text->split(u'\n') : QStringList();
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QStringList keys{latitudeKey, longitudeKey, heightKey, lowestKey, darkKey, zoneKey};
    // The site's keys go after the last line of its first group.
    qsizetype at = -1;
    bool first = false;
    QString group;
    for (qsizetype i = 0; i < lines.size();) {
        const QStringView line = QStringView(lines.at(i)).trimmed();
        const std::optional<std::pair<QString, QString>> entry = entryOf(line);
        if (const std::optional<QString> name = groupOf(line)) {
            group = *name;
            first = group == siteGroup && at < 0;
            at = first ? i + 1 : at;
        } else if (group == siteGroup && entry && keys.contains(entry->first)) {
            lines.removeAt(i);
            continue;
        } else if (first && !line.isEmpty()) {
            at = i + 1;
        }
        ++i;
    }
    if (at < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + siteGroup + u']');
        at = lines.size();
    }
    const QString values[] = {decimal(site.latitude),       decimal(site.longitude),       decimal(site.height),
                              decimal(site.lowestAltitude), decimal(site.darkSunAltitude), site.timezone};
    for (qsizetype i = keys.size() - 1; i >= 0; --i) {
        if (!values[i].isEmpty())
            lines.insert(at, keys.at(i) + u'=' + values[i]);
    }
    const QByteArray bytes = (lines.join(u'\n') + u'\n').toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failed(file.errorString());
    return {};
}

outcome::Result<QMap<QString, double>> readCadences(const QString &path)
{
    QMap<QString, double> cadences;
    const outcome::Result<QString> text = readText(path);
    if (!text && text.problem().kind == outcome::Kind::NotFound)
        return cadences;
    if (!text)
        return unreadable(text.problem(), path);
    const QMap<QString, QString> keys = groupIn(*text, cadenceGroup);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const outcome::Result<double> days =
            number(it.value(), {"", "number of days between observations of a type", 0.01, 3650});
        if (!days)
            return inFile(outcome::refused(QStringLiteral("%1: %2").arg(it.key(), days.problem().message)), path,
                          cadenceGroup);
        cadences.insert(it.key(), *days);
    }
    return cadences;
}
}
