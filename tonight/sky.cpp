// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/sky.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace tonight
{
namespace
{
constexpr double unixEpoch = 2440587.5;
constexpr double msecsPerDay = 86'400'000;
constexpr double anchorStep = 2.0 / 24;
// Radians the Earth turns against the stars, and against the Sun, in a day.
constexpr double siderealRate = ERFA_D2PI * 1.00273781191135448;
constexpr double solarRate = ERFA_D2PI;
constexpr double temperature = 10;
constexpr double humidity = 0.5;
constexpr double wavelength = 0.55;

// ERFA wants a UTC date split at its midnight, so that it finds the day's leap second.
struct Split
{
    double day;
    double fraction;
};

Split split(double jd)
{
    const double day = std::floor(jd - 0.5) + 0.5;
    return {day, jd - day};
}

double era(double jd)
{
    const Split at = split(jd);
    return eraEra00(at.day, at.fraction);
}

double fromZenith(double zenithDistance)
{
    return 90 - zenithDistance * ERFA_DR2D;
}
}

double julianDate(const QDateTime &utc)
{
    return unixEpoch + static_cast<double>(utc.toMSecsSinceEpoch()) / msecsPerDay;
}

QDateTime fromJulianDate(double jd)
{
    return QDateTime::fromMSecsSinceEpoch(std::llround((jd - unixEpoch) * msecsPerDay), Qt::UTC);
}

QDateTime toMinute(const QDateTime &utc)
{
    constexpr qint64 minute = 60'000;
    const qint64 msecs = utc.toMSecsSinceEpoch() + minute / 2;
    return QDateTime::fromMSecsSinceEpoch(msecs - ((msecs % minute) + minute) % minute, Qt::UTC);
}

outcome::Result<Sky> Sky::prepare(const Site &site, double moment, double from, double to)
{
    Sky sky;
    sky.m_site = site;
    sky.m_moment = moment;
    const auto astrometry = [&site](double jd, eraASTROM *astrom) {
        const Split at = split(jd);
        double equationOfOrigins = 0;
        return eraApco13(at.day, at.fraction, 0, site.longitude * ERFA_DD2R, site.latitude * ERFA_DD2R, site.height, 0,
                         0, site.pressure(), temperature, humidity, wavelength, astrom, &equationOfOrigins);
    };
    const auto refused = [](double jd) {
        return outcome::failed(QStringLiteral("The sky of %1 cannot be computed: the date lies outside the years "
                                              "the astronomy knows.")
                                   .arg(fromJulianDate(jd).toString(Qt::ISODate)));
    };
    // ERFA says +1 for a date past its table of leap seconds: still a result.
    if (astrometry(moment, &sky.m_atMoment) < 0)
        return refused(moment);
    const int anchors = static_cast<int>(std::ceil((to - from) / anchorStep)) + 1;
    sky.m_anchors.reserve(anchors);
    for (int i = 0; i < anchors; ++i) {
        Anchor anchor{from + i * anchorStep, {}, {}};
        if (astrometry(anchor.jd, &anchor.astrom) < 0)
            return refused(anchor.jd);
        eraSxp(anchor.astrom.em, anchor.astrom.eh, anchor.sunToSite);
        sky.m_anchors.append(anchor);
    }
    const Split at = split(from);
    double tai1 = 0, tai2 = 0, tt1 = 0, tt2 = 0;
    if (eraUtctai(at.day, at.fraction, &tai1, &tai2) < 0 || eraTaitt(tai1, tai2, &tt1, &tt2) < 0)
        return refused(from);
    sky.m_ttOffset = (tt1 - at.day) + (tt2 - at.fraction);
    return sky;
}

double Sky::moment() const
{
    return m_moment;
}

const Sky::Anchor &Sky::anchor(double jd) const
{
    const auto i = std::lround((jd - m_anchors.first().jd) / anchorStep);
    return m_anchors.at(std::clamp<qsizetype>(i, 0, m_anchors.size() - 1));
}

eraASTROM Sky::rotated(const eraASTROM &astrom, double jd) const
{
    eraASTROM turned = astrom;
    const Split at = split(jd);
    eraAper13(at.day, at.fraction, &turned);
    return turned;
}

Target Sky::target(const Position &position) const
{
    Target target;
    const double ra = position.ra * ERFA_DD2R;
    const double dec = position.dec * ERFA_DD2R;
    eraS2c(ra, dec, target.direction);
    eraASTROM astrom = m_atMoment;
    eraAtciq(ra, dec, 0, 0, 0, 0, &astrom, &target.ri, &target.di);
    return target;
}

Observed Sky::now(const Target &target) const
{
    eraASTROM astrom = m_atMoment;
    double azimuth = 0, zenithDistance = 0, hourAngle = 0, dec = 0, ra = 0;
    eraAtioq(target.ri, target.di, &astrom, &azimuth, &zenithDistance, &hourAngle, &dec, &ra);
    return {fromZenith(zenithDistance), azimuth * ERFA_DR2D};
}

double Sky::altitude(const Target &target, double jd) const
{
    eraASTROM astrom = rotated(m_atMoment, jd);
    double azimuth = 0, zenithDistance = 0, hourAngle = 0, dec = 0, ra = 0;
    eraAtioq(target.ri, target.di, &astrom, &azimuth, &zenithDistance, &hourAngle, &dec, &ra);
    return fromZenith(zenithDistance);
}

double Sky::upperTransit(const Target &target, double jd) const
{
    const double hourAngle = era(jd) + m_atMoment.along - target.ri;
    return jd + eraAnp(-hourAngle) / siderealRate;
}

double Sky::lowerTransit(const Target &target, double jd) const
{
    const double hourAngle = era(jd) + m_atMoment.along - target.ri;
    return jd + eraAnp(ERFA_DPI - hourAngle) / siderealRate;
}

void Sky::sunToSite(double jd, double position[3]) const
{
    // The Sun's direction turns a degree a day: a straight line between anchors is as good.
    const qsizetype i =
        std::clamp<qsizetype>(static_cast<qsizetype>(std::floor((jd - m_anchors.first().jd) / anchorStep)), 0,
                              std::max<qsizetype>(m_anchors.size() - 2, 0));
    const Anchor &before = m_anchors.at(i);
    const Anchor &after = m_anchors.at(std::min(i + 1, m_anchors.size() - 1));
    const double f = (jd - before.jd) / anchorStep;
    for (int k = 0; k < 3; ++k)
        position[k] = before.sunToSite[k] + f * (after.sunToSite[k] - before.sunToSite[k]);
}

void Sky::sunIntermediate(double jd, const Anchor &near, double *ri, double *di) const
{
    double sun[3], intermediate[3];
    sunToSite(jd, sun);
    eraSxp(-1, sun, sun);
    eraRxp(const_cast<double(*)[3]>(near.astrom.bpn), sun, intermediate);
    eraC2s(intermediate, ri, di);
}

double Sky::sunAltitude(double jd) const
{
    const Anchor &near = anchor(jd);
    double ri = 0, di = 0;
    sunIntermediate(jd, near, &ri, &di);
    eraASTROM astrom = rotated(near.astrom, jd);
    astrom.refa = astrom.refb = 0;
    double azimuth = 0, zenithDistance = 0, hourAngle = 0, dec = 0, ra = 0;
    eraAtioq(ri, di, &astrom, &azimuth, &zenithDistance, &hourAngle, &dec, &ra);
    return fromZenith(zenithDistance);
}

double Sky::sunUpperTransit(double jd) const
{
    double t = jd;
    for (int i = 0; i < 3; ++i) {
        const Anchor &near = anchor(t);
        double ri = 0, di = 0;
        sunIntermediate(t, near, &ri, &di);
        t -= eraAnpm(era(t) + near.astrom.along - ri) / solarRate;
    }
    return t;
}

void Sky::siteFromCentre(double jd, const Anchor &near, double position[3]) const
{
    double pv[2][3];
    eraPvtob(m_site.longitude * ERFA_DD2R, m_site.latitude * ERFA_DD2R, m_site.height, 0, 0, 0, era(jd), pv);
    double intermediate[3];
    eraSxp(1 / ERFA_DAU, pv[0], intermediate);
    eraTrxp(const_cast<double(*)[3]>(near.astrom.bpn), intermediate, position);
}

MoonView Sky::moon(double jd) const
{
    MoonView view;
    const Anchor &near = anchor(jd);
    const Split tt = split(jd + m_ttOffset);
    double moonPv[2][3], site[3], sun[3];
    eraMoon98(tt.day, tt.fraction, moonPv);
    siteFromCentre(jd, near, site);
    eraPmp(moonPv[0], site, view.direction);

    double rc = 0, dc = 0, ri = 0, di = 0;
    eraC2s(view.direction, &rc, &dc);
    eraASTROM astrom = near.astrom;
    eraAtciq(rc, dc, 0, 0, 0, 0, &astrom, &ri, &di);
    astrom = rotated(near.astrom, jd);
    double azimuth = 0, zenithDistance = 0, hourAngle = 0, dec = 0, ra = 0;
    eraAtioq(ri, di, &astrom, &azimuth, &zenithDistance, &hourAngle, &dec, &ra);
    view.altitude = fromZenith(zenithDistance);

    // The phase angle at the Moon, between the Sun and the Earth's centre.
    sunToSite(jd, sun);
    eraPmp(site, sun, sun);
    double toSun[3], toEarth[3];
    eraPmp(sun, moonPv[0], toSun);
    eraSxp(-1, moonPv[0], toEarth);
    view.fraction = (1 + std::cos(eraSepp(toSun, toEarth))) / 2;
    return view;
}

double Sky::lightTime(const Target &target, double jd) const
{
    double sunToEarth[3], site[3];
    sunToSite(jd, sunToEarth);
    siteFromCentre(jd, anchor(jd), site);
    eraPmp(sunToEarth, site, sunToEarth);
    return eraPdp(sunToEarth, const_cast<double *>(target.direction)) * ERFA_AULT / ERFA_DAYSEC;
}
}
