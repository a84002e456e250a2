// SPDX-License-Identifier: GPL-2.0-or-later
#include "tonight/positionsfile.h"

#include <QTest>

using namespace tonight;

class tst_positionsfile final : public QObject
{
    Q_OBJECT

private slots:
    void headerNames_data();
    void headerNames();
    void refusals_data();
    void refusals();
    void hoursWrittenAsDegreesWarn();
    void catalogueNames();
};

void tst_positionsfile::headerNames_data()
{
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("index export, quoted")
        << QByteArray("\"Name\",\"RA (J2000)\",\"DE (J2000)\",\"Var. Type\",\"Period\"\n"
                      "\"R Leo\",\"09 47 33.49\",\"+11 25 43.7\",\"M\",\"309.95\"\n");
    QTest::newRow("tab-separated, degrees") << QByteArray(
        "Star Name\tRA_deg\tDE_deg\tVariability type\tperiod\r\nR Leo\t146.889542\t11.428806\tM\t309.95\r\n");
    QTest::newRow("semicolons") << QByteArray("designation;ra2000;declination2000;type;period\nR Leo;09:47:33.49;"
                                              "+11:25:43.7;M;309.95\n");
    QTest::newRow("semicolons, decimal commas")
        << QByteArray("name;ra;dec;type;period\nR Leo;09 47 33,49;+11 25 43,7;M;309,95\n");
}

void tst_positionsfile::headerNames()
{
    QFETCH(QByteArray, file);
    const outcome::Result<PositionsReading> reading = readPositions(file);
    QVERIFY(reading && reading->refusals.isEmpty() && reading->rows.size() == 1);
    const PositionRow &row = reading->rows.first();
    QCOMPARE(QString::asprintf("%s %.4f %.4f %s %g", qPrintable(row.name), row.position.ra, row.position.dec,
                               qPrintable(row.elements.type), *row.elements.period),
             QStringLiteral("R Leo 146.8895 11.4288 M 309.95"));
}

void tst_positionsfile::refusals_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("refused");

    const auto row = [](const char *rule, const char *line, const QStringList &refused) {
        QTest::newRow(rule) << QByteArray(line) << refused;
    };
    row("good", "SS Cyg,21 42 42.8,+43 35 10,UGSS,49.5:,2451234.5,7.7 V,12.4: V,,", {});
    row("no name", ",21 42 42.8,+43 35 10", {"line 3, column 1 (Name)"});
    row("RA and Dec", "SS Cyg,25 00 00,+91", {"line 3, column 2 (RA)", "line 3, column 3 (Dec)"});
    row("period", "SS Cyg,21 42 42.8,+43 35 10,UGSS,long", {"line 3, column 5 (Period)"});
    row("not finite", "SS Cyg,21 42 42.8,+43 35 10,UGSS,inf,nan", {"line 3, column 5 (Period)", "column 6 (Epoch)"});
    row("decimal comma, commas part", "SS Cyg,21 42 42.8,+43 35 10,UGSS,\"49,5\"", {"line 3, column 5 (Period)"});
    row("reduced epoch", "SS Cyg,21 42 42.8,+43 35 10,UGSS,49.5,51234.5", {"line 3, column 6 (Epoch)"});
    row("magnitude", "SS Cyg,21 42 42.8,+43 35 10,,,,bright", {"line 3, column 7 (Max)"});
    row("bands differ", "SS Cyg,21 42 42.8,+43 35 10,,,,7.7 V,,B", {"line 3, column 9 (MaxMagBand)"});
    row("quote not closed", "\"SS Cyg,21 42 42.8,+43 35 10", {"line 3: "});
    row("twice", "r  leo,09 47 33,+11 25 44", {"r leo is on line 2 already"});
}

void tst_positionsfile::refusals()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, refused);
    const QByteArray file =
        "Name,RA,Dec,Type,Period,Epoch,Max,Min,MaxMagBand,MinMagBand\nR Leo,09 47 33,+11 25 44\n" + line + "\n\n";
    const outcome::Result<PositionsReading> reading = readPositions(file);
    QVERIFY(reading);
    QCOMPARE(reading->refusals.size(), refused.size());
    QCOMPARE(reading->rows.size(), refused.isEmpty() ? 2 : 1);
    for (qsizetype i = 0; i < refused.size(); ++i)
        QVERIFY2(reading->refusals.at(i).text().contains(refused.at(i)), qPrintable(reading->refusals.at(i).text()));
}

void tst_positionsfile::hoursWrittenAsDegreesWarn()
{
    QCOMPARE(readPositions("name,ra,dec\nSS Cyg,21.712,43.586\nR Leo,9.793,11.429\n")->warnings.size(), 1);
    QCOMPARE(readPositions("name,ra,dec\nSS Cyg,325.678,43.586\nR Leo,9.793,11.429\n")->warnings.size(), 0);
    QCOMPARE(readPositions("name,ra,dec\nR Leo,09 47 33,11.429\n")->warnings.size(), 0);
    // Files it cannot read at all.
    QCOMPARE(readPositions("name,right ascension,dec\nR Leo,9.793,11.429\n").problem().kind, outcome::Kind::Refused);
    QCOMPARE(readPositions("\n \n").problem().kind, outcome::Kind::Refused);
}

void tst_positionsfile::catalogueNames()
{
    const outcome::Result<PositionsReading> reading =
        readPositions("name,ra,dec\nV0404 Cyg,20 24 03.8,+33 52 02\nXX Nowhere,0,0\nomi cet,02 19 20.8,-02 58 39\n");
    const CatalogueMatch match = matchCatalogue(
        reading->rows, {QStringLiteral("V404 Cyg"), QStringLiteral("OMI CET"), QStringLiteral("SS CYG")});
    QCOMPARE(match.rows.size(), 2);
    QCOMPARE(match.rows.at(0).name, QStringLiteral("V404 Cyg"));
    QCOMPARE(match.rows.at(1).name, QStringLiteral("OMI CET"));
    QCOMPARE(match.unknown, QStringList{QStringLiteral("XX Nowhere")});
}

QTEST_APPLESS_MAIN(tst_positionsfile)
#include "tst_positionsfile.moc"
