// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "store/positions.h"
#include "tests/support/appfolder.h"
#include "tests/support/problemtext.h"
#include "tonight/planinput.h"
#include "varstars/starkey.h"

#include <QTest>

using namespace tonight;

class tst_planinput : public QObject
{
    Q_OBJECT

private slots:
    void fileUpdatesNeverDoublesAndKeepsOnlyTheCatalogue();
    void newestObservationByStar();
};

static void addStar(store::Database &db, const QString &name)
{
    QVERIFY(store::addChart(db,
                            {name, QStringLiteral("1896"), QStringLiteral("no"), QStringLiteral("na"),
                             QStringLiteral("na"), QStringLiteral("CYG")}));
}

void tst_planinput::fileUpdatesNeverDoublesAndKeepsOnlyTheCatalogue()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    store::Database db(folder.programFolder());
    addStar(db, QStringLiteral("V0404 CYG"));

    const QByteArray file = "name,ra,dec,type,max,min\n"
                            "V404 Cyg,20 24 03.8,+33 52 02,XN,11.2 V,18.8 V\n"
                            "Nobody Cyg,20 00 00,+30 00 00,M,,\n"
                            "RU Cyg,xx,+30,M,,\n";
    auto reading = readPositions(file);
    QVERIFY2(reading, qPrintable(problemText(reading)));
    auto first = importPositions(db, *reading);
    QVERIFY2(first, qPrintable(problemText(first)));
    QCOMPARE(first->added, 1);
    QCOMPARE(first->unknown, QStringList{QStringLiteral("Nobody Cyg")});
    QVERIFY2(first->text().contains(QStringLiteral("line 4")), qPrintable(first->text()));

    auto second = importPositions(db, *reading);
    QVERIFY(second);
    QCOMPARE(second->added, 0);
    QCOMPARE(second->updated, 1);

    // A typed position moves the star and keeps what the file said of it.
    QVERIFY(savePosition(db, QStringLiteral("v404 cyg"), Position{306.0, 33.9}));
    QCOMPARE(savePosition(db, QStringLiteral("Nobody Cyg"), Position{1, 1}).problem().kind, outcome::Kind::NotFound);
    auto input = readPlanInput(db);
    QVERIFY2(input, qPrintable(problemText(input)));
    // The catalogue's first star ("ss cyg") has no position.
    QCOMPARE(input->stars.size(), 2);
    QVERIFY(!input->stars.at(0).position);
    const PlanStar &v404 = input->stars.at(1);
    QVERIFY(v404.position);
    QCOMPARE(v404.position->ra, 306.0);
    QCOMPARE(v404.elements.type, QStringLiteral("XN"));
    QVERIFY(v404.elements.min);
    QCOMPARE(v404.elements.min->value, 18.8);
}

void tst_planinput::newestObservationByStar()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    store::Database db(folder.programFolder());
    addStar(db, QStringLiteral("RU CYG"));
    for (const char *date : {"2460100.5", "2460123.4567", "2460099.9"})
        QVERIFY(store::addObservation(db,
                                      {QStringLiteral("ss cyg"), QStringLiteral("11.2"), QStringLiteral("11.2"),
                                       QString::fromLatin1(date), QStringLiteral("XYZ"), QStringLiteral("na"),
                                       QStringLiteral("1896")}));
    auto input = readPlanInput(db);
    QVERIFY(input);
    QCOMPARE(input->newest.value(varstars::starKey(QStringLiteral("SS Cyg"))), 2460123.4567);
    QVERIFY(!input->newest.contains(varstars::starKey(QStringLiteral("RU Cyg"))));
    // Past the stars one statement asks for, and in another letter case.
    QStringList many(1100, QStringLiteral("nobody"));
    many.append(QStringLiteral("SS CYG"));
    QCOMPARE(store::newestDates(db, many)->value(QStringLiteral("SS CYG")), QStringLiteral("2460123.4567"));
}

QTEST_APPLESS_MAIN(tst_planinput)
#include "tst_planinput.moc"
