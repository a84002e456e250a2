// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/angles.h"
#include "tonight/site.h"

#include <QFile>
#include <QPointF>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <utility>

using namespace tonight;

class tst_site final : public QObject
{
    Q_OBJECT

private slots:
    void angles_data();
    void angles();
    void dialogRefusesNamingTheField_data();
    void dialogRefusesNamingTheField();
    void siteFile();
    void siteFileAsEditorsLeaveIt();
};

using Parser = outcome::Result<double> (*)(const QString &);
Q_DECLARE_METATYPE(Parser)

void tst_site::angles_data()
{
    QTest::addColumn<Parser>("parse");
    QTest::addColumn<QString>("text");
    // NaN: refused.
    QTest::addColumn<double>("degrees");

    const double no = qQNaN();
    QTest::newRow("latitude decimal") << Parser(parseLatitude) << "52.52" << 52.52;
    QTest::newRow("latitude d m s N") << Parser(parseLatitude) << "52 31 12 N" << 52.52;
    QTest::newRow("latitude S before") << Parser(parseLatitude) << "s 33°52′04″" << -(33 + 52 / 60.0 + 4 / 3600.0);
    QTest::newRow("latitude beyond 90") << Parser(parseLatitude) << "90 0 1" << no;
    QTest::newRow("latitude sign and letter") << Parser(parseLatitude) << "-52 N" << no;
    QTest::newRow("latitude minutes of 60") << Parser(parseLatitude) << "52 60" << no;
    QTest::newRow("longitude W") << Parser(parseLongitude) << "84 24 W" << -84.4;
    QTest::newRow("longitude beyond 180") << Parser(parseLongitude) << "180.5 E" << no;
    QTest::newRow("RA h m s") << Parser(parseRightAscension) << "12 30 36.0" << 187.65;
    QTest::newRow("RA colons") << Parser(parseRightAscension) << "00:42:44" << (42 + 44 / 60.0) / 4;
    QTest::newRow("RA 24 h") << Parser(parseRightAscension) << "24 00 00" << no;
    QTest::newRow("RA signed") << Parser(parseRightAscension) << "-12 00 00" << no;
    QTest::newRow("Dec keeps the sign of -00") << Parser(parseDeclination) << "-00 30 00" << -0.5;
    QTest::newRow("Dec U+2212 colons") << Parser(parseDeclination) << "\u221205:30:00" << -5.5;
    QTest::newRow("Dec plus") << Parser(parseDeclination) << "+41:16:09" << 41 + 16 / 60.0 + 9 / 3600.0;
    QTest::newRow("Dec degrees") << Parser(parseDeclination) << "-16.716" << -16.716;
    QTest::newRow("Dec beyond 90") << Parser(parseDeclination) << "+90 00 01" << no;
    QTest::newRow("empty") << Parser(parseDeclination) << "" << no;
}

void tst_site::angles()
{
    QFETCH(Parser, parse);
    QFETCH(QString, text);
    QFETCH(double, degrees);
    const outcome::Result<double> angle = parse(text);
    QCOMPARE(angle.ok(), !qIsNaN(degrees));
    if (angle)
        QVERIFY2(qAbs(*angle - degrees) < 1e-9, qPrintable(QString::number(*angle, 'g', 12)));
    else
        QVERIFY2(angle.problem().message.contains(text.trimmed()), qPrintable(angle.problem().message));
}

void tst_site::dialogRefusesNamingTheField_data()
{
    QTest::addColumn<SiteText>("text");
    QTest::addColumn<QString>("field");

    const SiteText good{"52 31 N", "13 24 E", "34", "20", "-12", "Europe/Berlin"};
    const auto with = [&good](QString SiteText::*field, const char *text) {
        SiteText typed = good;
        typed.*field = QString::fromUtf8(text);
        return typed;
    };
    QTest::newRow("good") << good << QString();
    QTest::newRow("latitude") << with(&SiteText::latitude, "95") << "txtLatitude";
    QTest::newRow("longitude") << with(&SiteText::longitude, "13 24 N") << "txtLongitude";
    QTest::newRow("height") << with(&SiteText::height, "high") << "txtHeight";
    QTest::newRow("lowest altitude") << with(&SiteText::lowestAltitude, "90") << "txtLowestAltitude";
    QTest::newRow("dark") << with(&SiteText::darkSunAltitude, "-20") << "txtDarkSunAltitude";
    QTest::newRow("time zone") << with(&SiteText::timezone, "Europe/Atlantis") << "txtTimezone";
}

void tst_site::dialogRefusesNamingTheField()
{
    QFETCH(SiteText, text);
    QFETCH(QString, field);
    const outcome::Result<Site> site = siteFromText(text);
    QCOMPARE(site ? QString() : site.problem().field, field);
}

void tst_site::siteFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("site.ini"));
    QCOMPARE(readSite(path).problem().kind, outcome::Kind::NotFound);
    QVERIFY(readCadences(path)->isEmpty());
    // What is no plain file is never waited for, nor written over.
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(
        readSite(path).problem().message.endsWith(QStringLiteral("cannot be read: it is a named pipe, not a file.")));
    QVERIFY(!writeSite(path, {}) && QFile::remove(path));

    const auto shown = [&path]() {
        const SiteText text = siteText(*readSite(path));
        return QStringList{text.latitude,       text.longitude,       text.height,
                           text.lowestAltitude, text.darkSunAltitude, text.timezone}
            .join(u' ');
    };
    // Written by hand: defaults fill what is missing, the dialog's forms are read too.
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[site]\nlatitude=52 31 12 N\nlongitude=\xe2\x88\x92"
               "0.5\n\n[cadence]\nSRB=14\nUG*=2\n");
    file.close();
    QCOMPARE(shown(), QStringLiteral("52.52 -0.5 0 20 -12 "));
    const QMap<QString, double> cadences{{QStringLiteral("SRB"), 14}, {QStringLiteral("UG*"), 2}};
    QCOMPARE(*readCadences(path), cadences);
    // Written again by the dialog: the cadences stay.
    QVERIFY(writeSite(path, {-33.8688, 151.2093, 58, 15, -18, QStringLiteral("Australia/Sydney")}));
    QCOMPARE(shown(), QStringLiteral("-33.8688 151.2093 58 15 -18 Australia/Sydney"));
    QCOMPARE(*readCadences(path), cadences);
    // The U.S. Standard Atmosphere, 1976, table by geometric height: 954.61 hPa at 500 m, 898.76 hPa at
    // 1000 m. Within 0.03 hPa: the table's last digit and the height taken as geopotential, 0.02 hPa less
    // at 1000 m; the refraction, in proportion to the pressure, changes by a ten-thousandth.
    for (const auto &[height, table] : {std::pair{500.0, 954.61}, std::pair{1000.0, 898.76}})
        QVERIFY2(qAbs(Site{0, 0, height, 20, -12, {}}.pressure() - table) < 0.03, qPrintable(QString::number(height)));

    QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("cadence/UV"), QStringLiteral("often"));
    QVERIFY(readCadences(path).problem().message.contains(QStringLiteral("[cadence]: UV")));
}

void tst_site::siteFileAsEditorsLeaveIt()
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("site.ini")));
    QVERIFY(
        file.open(QIODevice::WriteOnly)
        && file.write("\xef\xbb\xbf; my garden\r\n[site]\r\nlatitude=\"48.5\" ; north\r\nlongitude=9\r\n# the wall\r\n"
                      "[cadence]\r\nM=3\r\n")
            > 0);
    file.close();
    const Site site = *readSite(file.fileName());
    QCOMPARE(QPointF(site.latitude, site.longitude), QPointF(48.5, 9));
    // Saved again, only the site's values change: comments and other groups stay as they were.
    QVERIFY(writeSite(file.fileName(), {50, 8, 0, 20, -12, {}}) && file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("; my garden\r\n[site]\r\n# the wall\r\nlatitude=50\nlongitude=8\nheight=0\n"
                        "lowest_altitude=20\ndark_sun_altitude=-12\n[cadence]\r\nM=3\r\n"));
}

QTEST_APPLESS_MAIN(tst_site)
#include "tst_site.moc"
