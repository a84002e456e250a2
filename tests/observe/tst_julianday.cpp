// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/julianday.h"

#include <QDate>
#include <QTest>

using observe::modProcesses::julianday;

namespace
{
// Fliegel and Van Flandern's integer formula for the Julian Day Number, an
// independent route to the same numbers (integer division truncates; all
// intermediate values are positive here).
qint64 fliegelVanFlandern(int y, int m, int d)
{
    return (1461 * (y + 4800 + (m - 14) / 12)) / 4 + (367 * (m - 2 - 12 * ((m - 14) / 12))) / 12
        - (3 * ((y + 4900 + (m - 14) / 12) / 100)) / 4 + d - 32075;
}
}

class tst_julianday final : public QObject
{
    Q_OBJECT

private slots:
    void knownDates_data();
    void knownDates();
    void neighbouringDates_data();
    void neighbouringDates();
    void firstOfJanuaryAndMarch_data();
    void firstOfJanuaryAndMarch();
    void everyDayCountsOnByOne();
    void observationText_data();
    void observationText();
    void roundingOfText_data();
    void roundingOfText();
};

void tst_julianday::knownDates_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("expected");

    QTest::newRow("2018-01-01") << 2018 << 1 << 1 << 2458120.0;
    QTest::newRow("2000-01-01") << 2000 << 1 << 1 << 2451545.0;
    QTest::newRow("2018-01-05") << 2018 << 1 << 5 << 2458124.0;
    QTest::newRow("2100-12-31") << 2100 << 12 << 31 << 2488434.0;
}

void tst_julianday::knownDates()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(double, expected);
    QCOMPARE(julianday(qint16(year), qint16(month), float(day)), expected);
}

void tst_julianday::neighbouringDates_data()
{
    QTest::addColumn<QDate>("earlier");
    QTest::addColumn<QDate>("later");
    QTest::addColumn<double>("difference");

    QTest::newRow("end of February") << QDate(2018, 2, 28) << QDate(2018, 3, 1) << 1.0;
    QTest::newRow("2100 is no leap year") << QDate(2100, 2, 28) << QDate(2100, 3, 1) << 1.0;
    QTest::newRow("leap day 2020") << QDate(2020, 2, 29) << QDate(2020, 3, 1) << 1.0;
    QTest::newRow("new year") << QDate(2017, 12, 31) << QDate(2018, 1, 1) << 1.0;
}

void tst_julianday::neighbouringDates()
{
    QFETCH(QDate, earlier);
    QFETCH(QDate, later);
    QFETCH(double, difference);
    const double first = julianday(qint16(earlier.year()), qint16(earlier.month()), float(earlier.day()));
    const double second = julianday(qint16(later.year()), qint16(later.month()), float(later.day()));
    QCOMPARE(second - first, difference);
}

void tst_julianday::firstOfJanuaryAndMarch_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<double>("expected");

    for (int year = 2017; year <= 2100; ++year) {
        for (const int month : {1, 3}) {
            QTest::addRow("%d-%02d-01", year, month) << year << month << double(fliegelVanFlandern(year, month, 1));
        }
    }
}

void tst_julianday::firstOfJanuaryAndMarch()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(double, expected);
    QCOMPARE(julianday(qint16(year), qint16(month), 1.0f), expected);
}

void tst_julianday::everyDayCountsOnByOne()
{
    // Day 31 of a 30-day month runs on into the next month.
    QCOMPARE(julianday(2018, 4, 31.0f), julianday(2018, 5, 1.0f));

    const QDate epoch(2017, 1, 1);
    const double start = julianday(2017, 1, 1.0f);
    for (QDate date = epoch; date.year() <= 2100; date = date.addDays(1)) {
        const double jd = julianday(qint16(date.year()), qint16(date.month()), float(date.day()));
        if (jd != start + double(epoch.daysTo(date)))
            QFAIL(qPrintable(QStringLiteral("%1 gives %2").arg(date.toString(Qt::ISODate)).arg(jd, 0, 'f', 1)));
    }
}

void tst_julianday::observationText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("nightly");
    QTest::addColumn<QString>("expected");

    const QDate fifth(2018, 1, 5);
    QTest::newRow("evening, nightly") << fifth << 21 << 30 << true << "2458124.3958";
    QTest::newRow("evening, slow") << fifth << 21 << 30 << false << "2458124.4";
    QTest::newRow("midnight, nightly") << fifth << 0 << 0 << true << "2458123.5";
    QTest::newRow("midnight, slow") << fifth << 0 << 0 << false << "2458123.5";
    QTest::newRow("new year's midnight") << QDate(2018, 1, 1) << 0 << 0 << true << "2458119.5";
    QTest::newRow("noon has no point") << QDate(2018, 1, 1) << 12 << 0 << true << "2458120";
    QTest::newRow("trailing zeros dropped") << fifth << 1 << 12 << true << "2458123.55";
    QTest::newRow("last minute, nightly") << fifth << 23 << 59 << true << "2458124.4993";
    QTest::newRow("last minute, slow") << fifth << 23 << 59 << false << "2458124.5";
    // .53125 and .625 are exact in binary: a half rounds up, not to even.
    QTest::newRow("exact half, nightly") << fifth << 0 << 45 << true << "2458123.5313";
    QTest::newRow("exact half, slow") << fifth << 3 << 0 << false << "2458123.63";
    // .51875 lands a hair below in binary; its decimal text still rounds up.
    QTest::newRow("near half, nightly") << fifth << 0 << 27 << true << "2458123.5188";
}

void tst_julianday::observationText()
{
    QFETCH(QDate, date);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, nightly);
    QFETCH(QString, expected);
    const double jd = observe::modProcesses::observationJd(qint16(date.year()), qint16(date.month()), float(date.day()),
                                                           hour, minute);
    QCOMPARE(observe::modProcesses::jdText(jd, nightly), expected);
}

void tst_julianday::roundingOfText_data()
{
    QTest::addColumn<double>("jd");
    QTest::addColumn<bool>("nightly");
    QTest::addColumn<QString>("expected");

    QTest::newRow("2.675 is 2.67499... in binary") << 2.675 << false << "2.68";
    QTest::newRow("just below a half") << 2458124.004999 << false << "2458124";
    QTest::newRow("carry into the whole days") << 2458124.99999 << false << "2458125";
    QTest::newRow("carry through the fraction") << 2458124.99996 << true << "2458125";
    QTest::newRow("whole day") << 2458124.0 << true << "2458124";
    QTest::newRow("small value keeps its zero") << 0.04 << false << "0.04";
    QTest::newRow("zero") << 0.0 << true << "0";
    QTest::newRow("below the last place") << 0.0001 << false << "0";
    QTest::newRow("more digits than a double holds") << 1.0e14 << true << "100000000000000";
}

void tst_julianday::roundingOfText()
{
    QFETCH(double, jd);
    QFETCH(bool, nightly);
    QFETCH(QString, expected);
    QCOMPARE(observe::modProcesses::jdText(jd, nightly), expected);
}

QTEST_APPLESS_MAIN(tst_julianday)
#include "tst_julianday.moc"
