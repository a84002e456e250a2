// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QMap>
#include <QString>
#include <QTimeZone>

namespace tonight
{
// Where and how the observer observes, as "site.ini" in the program folder
// keeps it: group [site], keys latitude, longitude (decimal degrees, east
// positive), height (metres), lowest_altitude, dark_sun_altitude (degrees),
// timezone (an IANA name, optional).
struct Site
{
    double latitude = 0;
    double longitude = 0;
    double height = 0;
    // The lowest altitude the observer sees over trees and roofs.
    double lowestAltitude = 20;
    // Dark: the Sun's centre below this altitude (-12 nautical, -18 astronomical).
    double darkSunAltitude = -12;
    // Empty: the computer's time zone.
    QString timezone;

    // The time zone the observer's local times are shown in.
    QTimeZone zone() const;
    // The air pressure of the standard atmosphere at the site's height, hPa.
    double pressure() const;
};

// The site as the observer types it in the site dialog.
struct SiteText
{
    QString latitude;
    QString longitude;
    QString height;
    QString lowestAltitude;
    QString darkSunAltitude;
    QString timezone;
};

// The site from what was typed, or the refusal naming the field (txtLatitude,
// txtLongitude, txtHeight, txtLowestAltitude, txtDarkSunAltitude, txtTimezone).
outcome::Result<Site> siteFromText(const SiteText &text);
// The site as the dialog shows it.
SiteText siteText(const Site &site);

// The site from "site.ini"; NotFound when no site is set up there, Refused for
// a value that is no value of its key (the message names the file and key)
// and for what is no plain file or is larger than any site file, which is
// never waited for.
outcome::Result<Site> readSite(const QString &path);
// How to set up a site in the file at path, for an observer who has none:
// the group [site] and its keys with a site's values, and what each holds.
QString siteFileHelp(const QString &path);
// Writes the site into "site.ini", keeping the rest of the file as it was,
// comments too; what is there and cannot be read is left alone.
outcome::Done writeSite(const QString &path, const Site &site);
// The group [cadence] of "site.ini": type code or pattern = days ("SRB=14",
// "UG*=2"); empty when the file or the group is missing.
outcome::Result<QMap<QString, double>> readCadences(const QString &path);
}
