// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/night.h"
#include "tonight/plan.h"
#include "tonight/plantext.h"

#include <QTest>

#include <ctime>

using namespace tonight;

class tst_night final : public QObject
{
    Q_OBJECT

private slots:
    void darkWindowMatchesTheAlmanac_data();
    void darkWindowMatchesTheAlmanac();
    void starsMatchASecondRoute_data();
    void starsMatchASecondRoute();
    void moonMatchesASecondRoute();
    void nightsGoByTheLongitude_data();
    void nightsGoByTheLongitude();
    void polarDayAndNight();
    void planOrderAndText();
    void minimaAndMaxima();
};

namespace
{
QDateTime utc(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

const Site berlin{52.52, 13.40, 34, 20, -12, QStringLiteral("Europe/Berlin")};

PlanStar star(const char *name, std::optional<Position> position, const char *type = "",
              std::optional<double> period = {}, std::optional<double> epoch = {})
{
    return {QString::fromLatin1(name), position, {QString::fromLatin1(type), period, false, epoch, {}, {}}};
}

// The observed place by another route: ERFA's apparent place only, then the
// hour angle, the spherical triangle and Bennett's refraction.
Observed byHourAngle(const Site &site, const Position &star, const QDateTime &moment)
{
    const double jd = julianDate(moment);
    double tai1, tai2, tt1, tt2, ri, di, eo;
    eraUtctai(jd, 0, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
    eraAtci13(star.ra * ERFA_DD2R, star.dec * ERFA_DD2R, 0, 0, 0, 0, tt1, tt2, &ri, &di, &eo);
    const double h = eraEra00(jd, 0) + site.longitude * ERFA_DD2R - ri;
    const double phi = site.latitude * ERFA_DD2R;
    const double altitude =
        std::asin(std::sin(phi) * std::sin(di) + std::cos(phi) * std::cos(di) * std::cos(h)) * ERFA_DR2D;
    const double azimuth = std::atan2(-std::cos(di) * std::sin(h),
                                      std::sin(di) * std::cos(phi) - std::cos(di) * std::cos(h) * std::sin(phi));
    const double refraction = site.pressure() / 1010 / std::tan((altitude + 7.31 / (altitude + 4.4)) * ERFA_DD2R) / 60;
    return {altitude + refraction, eraAnp(azimuth) * ERFA_DR2D};
}
}

void tst_night::darkWindowMatchesTheAlmanac_data()
{
    QTest::addColumn<Site>("site");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QDateTime>("almanac");

    // The naval observatory's times for Atlanta (33.8 N, 84.4 W), 6 September 2009: civil twilight
    // (-6°) begins 6:50 and ends 20:21 EDT, the Sun sets at 19:56 (its centre at -50').
    const Site atlanta{33.8, -84.4, 0, 20, -6, {}};
    QTest::newRow("Atlanta, civil dawn") << atlanta << utc("2009-09-06T08:00Z") << utc("2009-09-06T10:50Z");
    QTest::newRow("Atlanta, civil dusk") << atlanta << utc("2009-09-06T20:00Z") << utc("2009-09-07T00:21Z");
    QTest::newRow("Atlanta, sunset") << Site{33.8, -84.4, 0, 20, -50.0 / 60, {}} << utc("2009-09-06T20:00Z")
                                     << utc("2009-09-06T23:56Z");
    // Glasgow (55.866 N, 4.257 W), 28 April 2011: nautical twilight ends 22:32 BST.
    QTest::newRow("Glasgow, nautical dusk")
        << Site{55.866, -4.257, 0, 20, -12, {}} << utc("2011-04-28T20:00Z") << utc("2011-04-28T21:32Z");
}

void tst_night::darkWindowMatchesTheAlmanac()
{
    QFETCH(Site, site);
    QFETCH(QDateTime, moment);
    QFETCH(QDateTime, almanac);
    const Night night = nightSky(site, moment)->night;
    const qint64 off = std::min(qAbs(night.evening.secsTo(almanac)), qAbs(night.morning.secsTo(almanac)));
    QVERIFY2(off <= 60, qPrintable(QString::number(off)));
}

void tst_night::starsMatchASecondRoute_data()
{
    QTest::addColumn<Site>("site");
    QTest::addColumn<Position>("star");
    QTest::addColumn<QDateTime>("moment");

    QTest::newRow("Vega low in Berlin") << berlin << Position{279.2347, 38.7837} << utc("2026-12-07T21:30Z");
    QTest::newRow("Sirius high in Suva") << Site{-18.14, 178.44, 10, 20, -12, {}} << Position{101.2872, -16.7161}
                                         << utc("2026-01-15T11:00Z");
    QTest::newRow("Polaris on Mauna Kea")
        << Site{19.82, -155.47, 4200, 20, -12, {}} << Position{37.9546, 89.2641} << utc("2030-05-01T08:15Z");
}

void tst_night::starsMatchASecondRoute()
{
    QFETCH(Site, site);
    QFETCH(Position, star);
    QFETCH(QDateTime, moment);
    const NightSky tonight = *nightSky(site, moment);
    const Observed now = tonight.sky.now(tonight.sky.target(star));
    const Observed expected = byHourAngle(site, star, moment);
    const double off = eraSeps(now.azimuth * ERFA_DD2R, now.altitude * ERFA_DD2R, expected.azimuth * ERFA_DD2R,
                               expected.altitude * ERFA_DD2R);
    QVERIFY2(off * ERFA_DR2D < 0.01, qPrintable(QString::number(off * ERFA_DR2D)));
    // The plot's curve through the night, every ten minutes.
    const Curves curve = curves(tonight, star);
    QCOMPARE(curve.times.size(), 145);
    QVERIFY(qAbs(curve.star.at(50) - byHourAngle(site, star, curve.times.at(50)).altitude) < 0.01);
}

void tst_night::moonMatchesASecondRoute()
{
    // The Moon as a star at its distance from the barycentre, whose parallax ERFA takes away in one call; lit
    // in full and not at all at the almanac's full and new Moon, 25 and 11 January 2024, 17:54 and 11:57 UT.
    for (const auto &[moment, lit] :
         {std::pair(utc("2026-12-07T21:30Z"), -1.0), std::pair(utc("2024-01-25T17:54Z"), 1.0),
          std::pair(utc("2024-01-11T11:57Z"), 0.0)}) {
        const double jd = julianDate(moment);
        const MoonView moon = nightSky(berlin, moment)->sky.moon(jd);
        double tai1, tai2, tt1, tt2, pvh[2][3], pvb[2][3], pv[2][3], rc, dc, a, z, h, d, r, eo;
        eraUtctai(jd, 0, &tai1, &tai2);
        eraTaitt(tai1, tai2, &tt1, &tt2);
        eraMoon98(tt1, tt2, pv);
        eraEpv00(tt1, tt2, pvh, pvb);
        eraPpp(pv[0], pvb[0], pv[0]);
        eraC2s(pv[0], &rc, &dc);
        eraAtco13(rc, dc, 0, 0, ERFA_DR2AS / eraPm(pv[0]), 0, jd, 0, 0, berlin.longitude * ERFA_DD2R,
                  berlin.latitude * ERFA_DD2R, berlin.height, 0, 0, berlin.pressure(), 10, 0.5, 0.55, &a, &z, &h, &d,
                  &r, &eo);
        QVERIFY2(qAbs(moon.altitude - (90 - z * ERFA_DR2D)) < 0.01, qPrintable(moment.toString(Qt::ISODate)));
        QVERIFY2(lit < 0 || qAbs(moon.fraction - lit) < 0.02, qPrintable(QString::number(moon.fraction)));
    }
}

void tst_night::nightsGoByTheLongitude_data()
{
    QTest::addColumn<Site>("site");
    QTest::addColumn<QDateTime>("moment");
    // The dark window's ends in local time: their dates and their offsets from UTC in hours.
    QTest::addColumn<QString>("local");

    QTest::newRow("Berlin, into summer time") << berlin << utc("2026-03-28T22:00Z") << "2026-03-28+1 2026-03-29+2";
    QTest::newRow("Suva, west of the date line") << Site{-18.14, 178.44, 10, 20, -12, QStringLiteral("Pacific/Fiji")}
                                                 << utc("2026-07-01T10:00Z") << "2026-07-01+12 2026-07-02+12";
    QTest::newRow("Kiritimati, clocks a day ahead")
        << Site{1.87, -157.4, 5, 20, -12, QStringLiteral("Pacific/Kiritimati")} << utc("2026-06-15T07:00Z")
        << "2026-06-15+14 2026-06-16+14";
}

void tst_night::nightsGoByTheLongitude()
{
    QFETCH(Site, site);
    QFETCH(QDateTime, moment);
    QFETCH(QString, local);
    const auto inZone = [&site](const QDateTime &time) -> QString {
        const QDateTime there = time.toTimeZone(site.zone());
        return there.date().toString(Qt::ISODate) + QString::asprintf("%+d", there.offsetFromUtc() / 3600);
    };
    const QByteArray zone = qgetenv("TZ");
    QString first;
    for (const char *tz : {"Pacific/Auckland", "America/Los_Angeles"}) {
        qputenv("TZ", tz);
        tzset();
        const Night night = nightSky(site, moment.toLocalTime())->night;
        QVERIFY(night.evening <= moment && moment <= night.morning);
        QCOMPARE(inZone(night.evening) + u' ' + inZone(night.morning), local);
        const QString text = planText(*makePlan(site, {star("V", Position{0, 0})}, {}, {}, moment));
        QVERIFY(first.isEmpty() || text == first);
        first = text;
    }
    qputenv("TZ", zone);
    tzset();
}

void tst_night::polarDayAndNight()
{
    // Tromsø at midsummer: the plan is for the Sun's lowest point, local
    // midnight by the longitude (22:44 UT) and the equation of time (+1.7 min).
    const Plan day = *makePlan(Site{69.65, 18.96, 0, 20, -12, {}}, {star("Vega", Position{279.2347, 38.7837})}, {}, {},
                               utc("2026-06-21T20:00Z"));
    QVERIFY(!day.night.dark);
    QVERIFY(qAbs(day.night.evening.secsTo(utc("2026-06-21T22:46Z"))) < 120);
    QCOMPARE(day.rows.first().best, toMinute(day.night.evening));
    QCOMPARE(day.rows.first().visibility, Visibility::UpLater);
    QVERIFY(planText(day).startsWith("# dark\tnone\nstar\t"));
    // Alert at midwinter: dark from noon to noon.
    const Night night = nightSky(Site{82.50, -62.35, 0, 20, -12, {}}, utc("2026-12-21T04:00Z"))->night;
    QCOMPARE(night.evening, night.start);
    QCOMPARE(night.morning, night.end);
    QCOMPARE(night.start, QDateTime(QDate(2026, 12, 20), QTime(16, 9, 24), QTimeZone::utc()));
}

void tst_night::planOrderAndText()
{
    const QList<PlanStar> stars{star("Vega", Position{279.2347, 38.7837}),
                                star("Polaris", Position{37.9546, 89.2641}, "SRB"),
                                star("Sirius", Position{101.2872, -16.7161}, "UG"),
                                star("X Cen", Position{200, -70}),
                                star("No Where", {}),
                                star("Algol", Position{47.0422, 40.9556}, "EA/SD"),
                                star("Mira", Position{34.8366, -2.9776}, "M")};
    const QHash<QString, double> newest{{"vega", 2461380.0}, {"sirius", 2461381.37}, {"mira", 2461300.0}};
    const QDateTime moment = utc("2026-12-07T21:30Z");
    const Plan plan = *makePlan(berlin, stars, newest, varstars::Cadences(), moment);
    const auto inside = [&plan](const QDateTime &time) {
        return time.secsTo(plan.night.evening) < -60 && time.secsTo(plan.night.morning) > 60;
    };
    QStringList order;
    for (const PlanRow &row : plan.rows) {
        order.append(row.name);
        const auto position =
            std::find_if(stars.begin(), stars.end(), [&row](auto &s) { return s.name == row.name; })->position;
        // The upper transit to the minute, and the lowest altitude where the star rises or sets.
        const auto altitude = [&](const QDateTime &time) { return byHourAngle(berlin, *position, time).altitude; };
        if (inside(row.best))
            QVERIFY2(altitude(row.best) > std::max(altitude(row.best.addSecs(-60)), altitude(row.best.addSecs(60))),
                     qPrintable(row.name));
        for (const QDateTime &end : {row.upFrom, row.upTo}) {
            if (inside(end))
                QVERIFY2(qAbs(altitude(end) - berlin.lowestAltitude) < 0.01, qPrintable(row.name));
        }
    }
    // Up now: never observed first, then the most overdue; then up later, then not up.
    QCOMPARE(order, QStringList({"Algol", "Polaris", "Mira", "Sirius", "Vega", "X Cen"}));
    const QStringList lines = planText(plan).split(u'\n');
    QCOMPARE(lines.at(0), QStringLiteral("# dark\t2026-12-07T16:18Z\t2026-12-08T05:39Z"));
    QCOMPARE(lines.at(1),
             QStringLiteral("star\talt_now\taz_now\tbest_utc\tbest_alt\tup_from_utc\tup_to_utc\tmoon_alt\t"
                            "moon_sep\tmoon_frac\tdays_since\tcadence\tpriority\tnext_min_utc\tnext_max"));
    QVERIFY(lines.at(4).startsWith(QStringLiteral("Mira\t"))
            && lines.at(4).contains(QStringLiteral("\t82.4\t7\t11.8\t")));
    QVERIFY(lines.at(5).contains(QStringLiteral("\t1.0\t1\t1.0\t")));
    QVERIFY(lines.at(7).startsWith(QStringLiteral("X Cen\t")) && lines.at(7).contains(QStringLiteral("\t\t\t")));
    QCOMPARE(lines.at(8), QStringLiteral("# 1 star without a position (add them with --positions FILE): No Where"));
}

void tst_night::minimaAndMaxima()
{
    // HJD - JD is +474.1 s at 1999-10-29T00:00 UT for a star at 02 56 33.4 +00 26 55 (J2000), as the
    // IDL Astronomy User's Library publishes it (helio_jd.pro, checked by W. Warren against SLALIB);
    // Meeus' low-precision Sun (Astronomical Algorithms, ch. 25: R = 0.99345 AU, the Earth at 35.13°,
    // the star at 41.82°, -15.65° ecliptic of date) gives 474.10 s. Within 0.5 s: the value's last digit
    // and the correction reckoned half an hour before the minimum, where it drifts by 9 s a day at most.
    const Position place{15 * (2 + 56 / 60.0 + 33.4 / 3600), 26 / 60.0 + 55 / 3600.0};
    const double minimum = julianDate(utc("1999-10-29T00:00Z"));
    const double epoch = minimum + 474.1 / 86400 - 300 * 2.867328;
    const QDateTime moment = utc("1999-10-28T23:30Z");
    const Plan plan = *makePlan(berlin, {star("EA", place, "EA", 2.867328, epoch)}, {}, {}, moment);
    QVERIFY(qAbs(plan.rows.first().nextMinimum.msecsTo(utc("1999-10-29T00:00Z"))) < 500);
    // Earlier than the moment tonight: the next is two nights away.
    QVERIFY(makePlan(berlin, {star("EA", place, "EA", 2.867328, epoch - 0.25)}, {}, {}, moment)
                ->rows.first()
                .nextMinimum.isNull());
    const PlanRow mira =
        makePlan(berlin, {star("Mira", place, "M", 332, 2460000.5)}, {}, {}, utc("2026-12-07T21:30Z"))->rows.first();
    QCOMPARE(mira.nextMaximum->date, QDate(2027, 9, 12));
    QCOMPARE(mira.nextMaximum->cycles, 5);
}

QTEST_APPLESS_MAIN(tst_night)
#include "tst_night.moc"
