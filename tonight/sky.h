// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "tonight/angles.h"
#include "tonight/site.h"

#include <QDateTime>
#include <QList>

#include <erfa.h>
#include <erfam.h>

namespace tonight
{
// Julian dates in UTC, as ERFA takes them; the leap seconds a Unix time
// leaves out are no matter at a minute's precision.
double julianDate(const QDateTime &utc);
QDateTime fromJulianDate(double jd);
// Rounded to the nearest minute.
QDateTime toMinute(const QDateTime &utc);

// A star prepared for one night: its direction and its place in the
// intermediate system, which moves too little in a day to matter.
struct Target
{
    double direction[3] = {};
    double ri = 0;
    double di = 0;
};

struct Observed
{
    // Refraction included, degrees.
    double altitude = 0;
    // From north through east, degrees.
    double azimuth = 0;
};

struct MoonView
{
    // Observed altitude, degrees.
    double altitude = 0;
    // The lit part of the disc as seen from the Earth's centre, 0 to 1.
    double fraction = 0;
    // From the site (ICRS axes, au).
    double direction[3] = {};
};

// The sky of one site over one night with ERFA: its astrometry prepared
// every two hours (eraApco13; between them only the Earth's rotation is
// brought up to date) and once at the moment of the plan. Air: the standard
// atmosphere at the site's height, 10 °C, humidity 0.5, light of 0.55 µm;
// DUT1 = 0 and no polar motion.
class Sky final
{
public:
    // ERFA refuses the dates (far outside its years): a Failed problem.
    static outcome::Result<Sky> prepare(const Site &site, double moment, double from, double to);

    double moment() const;
    Target target(const Position &position) const;
    // Where the star is at the moment, as eraAtco13 puts it.
    Observed now(const Target &target) const;
    double altitude(const Target &target, double jd) const;
    // The first upper (lower) transit at or after jd.
    double upperTransit(const Target &target, double jd) const;
    double lowerTransit(const Target &target, double jd) const;

    // The geometric altitude of the Sun's centre from the site, no refraction.
    double sunAltitude(double jd) const;
    double sunUpperTransit(double jd) const;
    MoonView moon(double jd) const;
    // Days the star's light reaches the Sun later than the Earth: HJD - JD.
    double lightTime(const Target &target, double jd) const;

private:
    struct Anchor
    {
        double jd;
        eraASTROM astrom;
        // From the Sun to the site, au.
        double sunToSite[3];
    };

    const Anchor &anchor(double jd) const;
    eraASTROM rotated(const eraASTROM &astrom, double jd) const;
    void siteFromCentre(double jd, const Anchor &anchor, double position[3]) const;
    void sunToSite(double jd, double position[3]) const;
    // The Sun's place as seen from the site, in the anchor's intermediate frame.
    void sunIntermediate(double jd, const Anchor &near, double *ri, double *di) const;

    Site m_site;
    double m_moment = 0;
    eraASTROM m_atMoment{};
    QList<Anchor> m_anchors;
    // TT - UTC, days.
    double m_ttOffset = 0;
};
}
