// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/downloadline.h"
#include "tests/import/downloadfile.h"
#include "tests/support/problemtext.h"

#include <QTest>

using import::download::parseLine;

class tst_downloadline final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void makesTheRow_data();
    void makesTheRow();
    void refusesALineThatMakesNoRow_data();
    void refusesALineThatMakesNoRow();
};

void tst_downloadline::makesTheRow_data()
{
    QTest::addColumn<QString>("line");
    // star|magnitude|estimate|obsdate|obscode|notes|chart
    QTest::addColumn<QString>("row");

    const auto with = [](auto change) {
        DownloadFields f;
        change(f);
        return downloadLine(f);
    };
    QTest::newRow("ordinary: field 10, a blank, field 12")
        << downloadLine({}) << "SS CYG|11.2|110 115|2458124.3958|na|na|1896";
    QTest::newRow("fainter-than: \"<\" and field 10")
        << with([](DownloadFields &f) { f.fainter = QStringLiteral("1"); })
        << "SS CYG|11.2|<110|2458124.3958|na|na|1896";
    QTest::newRow("\"00\" is not \"0\"") << with([](DownloadFields &f) { f.fainter = QStringLiteral("00"); })
                                         << "SS CYG|11.2|<110|2458124.3958|na|na|1896";
    QTest::newRow("flag \"0\" with blanks around it")
        << with([](DownloadFields &f) { f.fainter = QStringLiteral(" 0 "); })
        << "SS CYG|11.2|110 115|2458124.3958|na|na|1896";
    QTest::newRow("comment code kept") << with([](DownloadFields &f) { f.code = QStringLiteral("B"); })
                                       << "SS CYG|11.2|110 115|2458124.3958|B|na|1896";
    QTest::newRow("blank comment code becomes na") << with([](DownloadFields &f) { f.code = QStringLiteral("   "); })
                                                   << "SS CYG|11.2|110 115|2458124.3958|na|na|1896";
    QTest::newRow("notes \"00\" kept") << with([](DownloadFields &f) { f.notes = QStringLiteral("00"); })
                                       << "SS CYG|11.2|110 115|2458124.3958|na|00|1896";
    QTest::newRow("notes kept") << with([](DownloadFields &f) { f.notes = QStringLiteral("Müller's scope"); })
                                << "SS CYG|11.2|110 115|2458124.3958|na|Müller's scope|1896";
    QTest::newRow("blanks trimmed, tabs kept") << with([](DownloadFields &f) {
        f.star = QStringLiteral("  SS CYG\t ");
        f.chart = QStringLiteral(" \t1896  ");
    }) << "SS CYG\t|11.2|110 115|2458124.3958|na|na|\t1896";
    QTest::newRow("empty field 12 leaves no blank")
        << with([](DownloadFields &f) { f.comp2.clear(); }) << "SS CYG|11.2|110|2458124.3958|na|na|1896";
    QTest::newRow("empty field 10 leaves no blank")
        << with([](DownloadFields &f) { f.comp1 = QStringLiteral("  "); }) << "SS CYG|11.2|115|2458124.3958|na|na|1896";
    QTest::newRow("fields beyond 14 unused")
        << downloadLine({}) + QStringLiteral("##more##and more") << "SS CYG|11.2|110 115|2458124.3958|na|na|1896";
    QTest::newRow("earliest full Julian Date") << with([](DownloadFields &f) { f.jd = QStringLiteral("2000000"); })
                                               << "SS CYG|11.2|110 115|2000000|na|na|1896";
    QTest::newRow("latest full Julian Date") << with([](DownloadFields &f) { f.jd = QStringLiteral("3000000.0"); })
                                             << "SS CYG|11.2|110 115|3000000.0|na|na|1896";
    QTest::newRow("magnitude without a point, negative")
        << with([](DownloadFields &f) { f.magnitude = QStringLiteral("-1"); })
        << "SS CYG|-1|110 115|2458124.3958|na|na|1896";
    QTest::newRow("widest values") << with([](DownloadFields &f) {
        f.star = QString(29, u'S') + QStringLiteral("\U0001F31F");
        f.notes = QString(100, u'n');
        f.chart = QString(30, u'c');
        f.comp1 = QString(7, u'1');
        f.comp2 = QString(7, u'2');
    })
                                   << QString(29, u'S')
            + QStringLiteral("\U0001F31F|11.2|1111111 2222222|2458124.3958|na|") + QString(100, u'n') + u'|'
            + QString(30, u'c');
}

void tst_downloadline::makesTheRow()
{
    QFETCH(QString, line);
    QFETCH(QString, row);
    const outcome::Result<import::download::Observation> parsed = parseLine(line);
    QVERIFY2(parsed, qPrintable(problemText(parsed)));
    const import::download::Observation &o = *parsed;
    QCOMPARE(QStringList({o.star, o.magnitude, o.estimate, o.obsdate, o.obscode, o.notes, o.chart}).join(u'|'), row);
}

void tst_downloadline::refusesALineThatMakesNoRow_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");

    const auto with = [](auto change) {
        DownloadFields f;
        change(f);
        return downloadLine(f);
    };
    const QString fourteen = downloadLine({}).section(QStringLiteral("##"), 0, 13);
    QTest::newRow("empty line") << QString() << "it is empty, where an observation has 15 fields separated by \"##\"";
    QTest::newRow("no separator") << QStringLiteral("SS CYG 2458124.3958 11.2")
                                  << "it has no \"##\" between fields, where an observation has 15 fields";
    QTest::newRow("fourteen fields") << fourteen << "it has 14 fields, where an observation has 15 separated by \"##\"";
    QTest::newRow("zero byte") << downloadLine({}).replace(u'Y', QChar(u'\0'))
                               << "it holds a zero byte, so the file is not plain text";
    QTest::newRow("empty star") << with([](DownloadFields &f) { f.star = QStringLiteral("  "); })
                                << "the star name (field 1) is empty";
    QTest::newRow("empty date") << with([](DownloadFields &f) { f.jd.clear(); })
                                << "the Julian Date (field 3) is empty";
    QTest::newRow("empty magnitude") << with([](DownloadFields &f) { f.magnitude.clear(); })
                                     << "the magnitude (field 5) is empty";
    QTest::newRow("empty notes") << with([](DownloadFields &f) { f.notes.clear(); })
                                 << "the note text (field 7) is empty";
    QTest::newRow("empty estimate") << with([](DownloadFields &f) { f.comp1.clear(), f.comp2.clear(); })
                                    << "the estimate (fields 10 and 12) is empty";
    QTest::newRow("empty chart") << with([](DownloadFields &f) { f.chart.clear(); }) << "the chart (field 14) is empty";
    QTest::newRow("star too long") << with([](DownloadFields &f) { f.star = QString(31, u'S'); })
                                   << "the star name \"" + QString(31, u'S')
            + "\" (field 1) has 31 characters, more than the 30 the database keeps";
    QTest::newRow("date too long") << with([](DownloadFields &f) { f.jd = QStringLiteral("2458124.39580000"); })
                                   << "the Julian Date \"2458124.39580000\" (field 3) has 16 characters, more than "
                                      "the 15 the database keeps";
    QTest::newRow("magnitude too long") << with([](DownloadFields &f) { f.magnitude = QStringLiteral("11.20000000"); })
                                        << "the magnitude \"11.20000000\" (field 5) has 11 characters, more than "
                                           "the 10 the database keeps";
    QTest::newRow("code too long") << with([](DownloadFields &f) { f.code = QString(16, u'B'); })
                                   << "the comment code \"" + QString(16, u'B')
            + "\" (field 6) has 16 characters, more than the 15 the database keeps";
    QTest::newRow("notes too long") << with([](DownloadFields &f) { f.notes = QString(101, u'n'); })
                                    << "the note text \"" + QString(101, u'n')
            + "\" (field 7) has 101 characters, more than the 100 the database keeps";
    QTest::newRow("estimate too long")
        << with([](DownloadFields &f) { f.comp1 = QString(8, u'1'), f.comp2 = QString(7, u'2'); })
        << "the estimate \"11111111 2222222\" (fields 10 and 12) has 16 characters, more than the 15 the database "
           "keeps";
    QTest::newRow("fainter-than estimate too long")
        << with([](DownloadFields &f) { f.fainter = QStringLiteral("1"), f.comp1 = QString(15, u'1'); })
        << "the estimate \"<" + QString(15, u'1')
            + "\" (field 10) has 16 characters, more than the 15 the database keeps";
    QTest::newRow("chart too long") << with([](DownloadFields &f) {
        f.chart = QString(31, u'c');
    }) << "the chart \"" + QString(31, u'c') + "\" (field 14) has 31 characters, more than the 30 the database keeps";
    for (const char *jd : {"JD2458124", "2458124,5", "58124.3958", "1999999.99", "3000000.01", "2.4e6", "\t2458124.5",
                           "2458124.5.1", "-2458124.5", "+"}) {
        QTest::addRow("date %s", jd) << with([jd](DownloadFields &f) { f.jd = QString::fromLatin1(jd); })
                                     << QStringLiteral("the Julian Date \"%1\" (field 3) is not a number from "
                                                       "2,000,000 to 3,000,000")
                                            .arg(QString::fromLatin1(jd));
    }
    for (const char *magnitude : {"<11.2", "11,2", "abc", "1e1", "inf", "nan", "\t11.2", "11.2\t", "-", "."}) {
        QTest::addRow("magnitude %s", magnitude)
            << with([magnitude](DownloadFields &f) { f.magnitude = QString::fromLatin1(magnitude); })
            << QStringLiteral("the magnitude \"%1\" (field 5) is not a number").arg(QString::fromLatin1(magnitude));
    }
}

void tst_downloadline::refusesALineThatMakesNoRow()
{
    QFETCH(QString, line);
    QFETCH(QString, reason);
    const outcome::Result<import::download::Observation> parsed = parseLine(line);
    QVERIFY(!parsed);
    QCOMPARE(parsed.problem().kind, outcome::Kind::Refused);
    QCOMPARE(parsed.problem().message, reason);
}

QTEST_APPLESS_MAIN(tst_downloadline)

#include "tst_downloadline.moc"
