// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/site.h"

#include "tonight/angles.h"
#include "varstars/elements.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cmath>
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

// QSettings reads "52,5" as a list of two texts.
QString text(const QSettings &settings, const QString &key, const QString &fallback = {})
{
    const QVariant value = settings.value(key, fallback);
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',') : value.toString();
}

outcome::Problem inFile(outcome::Problem problem, const QString &path, const QString &group)
{
    problem.message = QStringLiteral("%1, group [%2]: %3").arg(path, group, problem.message);
    return problem;
}

outcome::Done readable(const QSettings &settings, const QString &path)
{
    if (settings.status() != QSettings::NoError)
        return outcome::failed(QStringLiteral("%1 cannot be read: %2.")
                                   .arg(path,
                                        settings.status() == QSettings::AccessError
                                            ? QStringLiteral("it may not be read")
                                            : QStringLiteral("it is no settings file")));
    return {};
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
    if (!QFileInfo::exists(path))
        return none;
    QSettings settings(path, QSettings::IniFormat);
    if (const outcome::Done file = readable(settings, path); !file)
        return file.problem();
    settings.beginGroup(siteGroup);
    if (!settings.contains(latitudeKey) || !settings.contains(longitudeKey))
        return none;
    const Site defaults;
    const outcome::Result<Site> site = siteFromText({
        text(settings, latitudeKey),
        text(settings, longitudeKey),
        text(settings, heightKey, decimal(defaults.height)),
        text(settings, lowestKey, decimal(defaults.lowestAltitude)),
        text(settings, darkKey, decimal(defaults.darkSunAltitude)),
        text(settings, zoneKey),
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
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(siteGroup);
    settings.setValue(latitudeKey, decimal(site.latitude));
    settings.setValue(longitudeKey, decimal(site.longitude));
    settings.setValue(heightKey, decimal(site.height));
    settings.setValue(lowestKey, decimal(site.lowestAltitude));
    settings.setValue(darkKey, decimal(site.darkSunAltitude));
    if (site.timezone.isEmpty())
        settings.remove(zoneKey);
    else
        settings.setValue(zoneKey, site.timezone);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return outcome::failed(
            QStringLiteral("The site could not be saved in %1: the file or its folder may not be written.").arg(path));
    return {};
}

outcome::Result<QMap<QString, double>> readCadences(const QString &path)
{
    QMap<QString, double> cadences;
    if (!QFileInfo::exists(path))
        return cadences;
    QSettings settings(path, QSettings::IniFormat);
    if (const outcome::Done file = readable(settings, path); !file)
        return file.problem();
    settings.beginGroup(cadenceGroup);
    for (const QString &type : settings.childKeys()) {
        const outcome::Result<double> days =
            number(text(settings, type), {"", "number of days between observations of a type", 0.01, 3650});
        if (!days)
            return inFile(outcome::refused(QStringLiteral("%1: %2").arg(type, days.problem().message)), path,
                          cadenceGroup);
        cadences.insert(type, *days);
    }
    return cadences;
}
}
