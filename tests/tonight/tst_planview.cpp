// SPDX-License-Identifier: GPL-2.0-or-later
// What the Tonight screen's list and lines say of a plan.
#include "tonight/planview.h"

#include <QTest>

using namespace tonight;

class tst_planview : public QObject
{
    Q_OBJECT

private slots:
    void cells();
    void lines();
};

void tst_planview::cells()
{
    const QTimeZone berlin("Europe/Berlin");
    PlanRow row;
    row.name = QStringLiteral("R Cyg");
    row.altitudeNow = -0.4;
    row.best = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 40), QTimeZone::utc());
    row.bestAltitude = 61.6;
    row.moonFraction = 0.456;
    row.nextMaximum = MiraMaximum{QDate(2027, 3, 14), 61};
    QStringList cells = planCells(row, berlin);
    QCOMPARE(cells.at(int(Column::AltitudeNow)), QStringLiteral("0°"));
    // To the minute, across midnight in the local zone.
    QCOMPARE(cells.at(int(Column::BestUtc)), QStringLiteral("00:00"));
    QCOMPARE(cells.at(int(Column::BestLocal)), QStringLiteral("01:00"));
    QCOMPARE(cells.at(int(Column::BestAltitude)), QStringLiteral("62°"));
    QCOMPARE(cells.at(int(Column::MoonFraction)), QStringLiteral("46%"));
    QCOMPARE(cells.at(int(Column::DaysSince)), QString());
    QCOMPARE(cells.at(int(Column::Priority)), QStringLiteral("new"));
    QCOMPARE(cells.at(int(Column::NextMinimum)), QString());
    QCOMPARE(cells.at(int(Column::NextMaximum)), QStringLiteral("~2027-03-14"));

    row.daysSince = 12.04;
    row.priority = 1.7;
    row.nextMaximum.reset();
    cells = planCells(row, berlin);
    QCOMPARE(cells.at(int(Column::DaysSince)), QStringLiteral("12.0"));
    QCOMPARE(cells.at(int(Column::Priority)), QStringLiteral("1.7"));
    QCOMPARE(cells.at(int(Column::NextMaximum)), QString());
    QCOMPARE(cells.size(), columnTitles().size());
}

void tst_planview::lines()
{
    const QTimeZone zone("America/New_York");
    Night night;
    night.evening = QDateTime(QDate(2026, 6, 21), QTime(4, 10), QTimeZone::utc());
    QVERIFY(darkText(night, zone).startsWith(QStringLiteral("No dark")));
    QVERIFY(darkText(night, zone).contains(QStringLiteral("04:10 UT (00:10 local)")));
    night.dark = true;
    night.evening = QDateTime(QDate(2026, 12, 7), QTime(22, 5), QTimeZone::utc());
    night.morning = QDateTime(QDate(2026, 12, 8), QTime(10, 40), QTimeZone::utc());
    QCOMPARE(darkText(night, zone), QStringLiteral("Dark 22:05 to 10:40 UT (17:05 to 05:40 local)"));

    QCOMPARE(withoutPositionText({}), QString());
    QStringList many;
    for (int i = 1; i <= 14; ++i)
        many.append(QStringLiteral("V%1 Sgr").arg(i));
    const QString text = withoutPositionText(many);
    QVERIFY2(text.startsWith(QStringLiteral("Without a position (14): V1 Sgr, ")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("V12 Sgr and 2 more")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("V13 Sgr")));
}

QTEST_APPLESS_MAIN(tst_planview)
#include "tst_planview.moc"
