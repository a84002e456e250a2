// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/moddbscreen.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/catalogue/cataloguedata.h"
#include "tests/support/appfolder.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace catalogue::moddbscreen;
using cataloguedata::Observation;

Q_DECLARE_METATYPE(std::optional<catalogue::moddbscreen::FileType>)

namespace
{
ChartFields newFields(const QString &name = QStringLiteral("rr lyr"))
{
    return {name, QStringLiteral("X36483DQK"), true, name, QString(), QStringLiteral("lyr"), FileType::Gif};
}

// The texts of a list's rows, one column of each.
QStringList column(const catalogue::DataSource &source, int column)
{
    QStringList texts;
    for (int row = 0; row < source.rowCount(); ++row)
        texts.append(source.index(row, column).data().toString());
    return texts;
}

void fetchAll(catalogue::DataSource &source)
{
    while (source.canFetchMore(QModelIndex()))
        source.fetchMore(QModelIndex());
}

void make(const AppFolder &folder)
{
    const outcome::Done created = store::createDefault(folder.programFolder());
    QVERIFY2(created, qPrintable(problemText(created)));
}
}

class tst_moddbscreen final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constellationOfName_data();
    void constellationOfName();
    void fileTypeOfChart_data();
    void fileTypeOfChart();
    void newRecordRow_data();
    void newRecordRow();
    void editedRecordRoundTrip();
    void newRecordChecks_data();
    void newRecordChecks();
    void editedRecordChecks_data();
    void editedRecordChecks();
    void lookupsIgnoreCaseOnly_data();
    void lookupsIgnoreCaseOnly();
    void addchartStoresOrRefuses();
    void savechangesWritesTheFieldsAsTheyAre();
    void deletechartRemovesThatStarOnly();
    void countsAndTheirTexts();
    void findobsCounts_data();
    void findobsCounts();
    void failuresAreToldNotHidden();
    void missingFilesNameTheirFolders();
    void listOrders_data();
    void listOrders();
    void listsComeInChunks();
    void failedRunKeepsTheList();
    void openListDoesNotHoldTheFile();
};

void tst_moddbscreen::constellationOfName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("constell");
    QTest::newRow("last three") << "ss cyg"
                                << "cyg";
    QTest::newRow("capitals kept") << "R LYR"
                                   << "LYR";
    QTest::newRow("two letters whole") << "ab"
                                       << "ab";
    QTest::newRow("one letter whole") << "a"
                                      << "a";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank counts") << "ss cyg "
                                  << "yg ";
}

void tst_moddbscreen::constellationOfName()
{
    QFETCH(QString, name);
    QFETCH(QString, constell);
    QCOMPARE(constellationOf(name), constell);
}

void tst_moddbscreen::fileTypeOfChart_data()
{
    QTest::addColumn<QString>("picturefile");
    QTest::addColumn<std::optional<FileType>>("type");
    QTest::newRow("png") << "ss cyg.png" << std::optional(FileType::Png);
    QTest::newRow("gif") << "ss cyg.gif" << std::optional(FileType::Gif);
    QTest::newRow("jpg") << "ss cyg.jpg" << std::optional(FileType::Jpg);
    QTest::newRow("PNG in capitals is jpg") << "ss cyg.PNG" << std::optional(FileType::Jpg);
    QTest::newRow("anything else is jpg") << "ss cyg.bmp" << std::optional(FileType::Jpg);
    QTest::newRow("no file, no type") << "" << std::optional<FileType>();
}

void tst_moddbscreen::fileTypeOfChart()
{
    QFETCH(QString, picturefile);
    QFETCH(std::optional<FileType>, type);
    QCOMPARE(fileTypeOf(picturefile), type);
}

void tst_moddbscreen::newRecordRow_data()
{
    QTest::addColumn<QString>("finderpic");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("nightly");
    QTest::addColumn<QString>("picturefile");
    QTest::addColumn<QString>("finderchart");
    QTest::addColumn<QString>("flag");
    QTest::newRow("gif, no finder") << "" << int(FileType::Gif) << true << "ss cyg.gif"
                                    << "none"
                                    << "yes";
    QTest::newRow("gif with finder") << "ss cyg-finder" << int(FileType::Gif) << true << "ss cyg.gif"
                                     << "ss cyg-finder.gif"
                                     << "yes";
    QTest::newRow("png for both") << "ss cyg-finder" << int(FileType::Png) << false << "ss cyg.png"
                                  << "ss cyg-finder.png"
                                  << "no";
    QTest::newRow("jpg") << "" << int(FileType::Jpg) << false << "ss cyg.jpg"
                         << "none"
                         << "no";
}

void tst_moddbscreen::newRecordRow()
{
    QFETCH(QString, finderpic);
    QFETCH(int, type);
    QFETCH(bool, nightly);
    const ChartFields fields{
        QStringLiteral("ss cyg"), QStringLiteral("1896"),     nightly, QStringLiteral("ss cyg"), finderpic,
        QStringLiteral("cyg"),    static_cast<FileType>(type)};
    const ChartRow row = catalogue::moddbscreen::newRecordRow(fields);
    QCOMPARE(row.starname, QStringLiteral("ss cyg"));
    QCOMPARE(row.chart, QStringLiteral("1896"));
    QTEST(row.nightly, "flag");
    QTEST(row.picturefile, "picturefile");
    QTEST(row.finderchart, "finderchart");
    QCOMPARE(row.constell, QStringLiteral("cyg"));
}

void tst_moddbscreen::editedRecordRoundTrip()
{
    // A flag of "Yes" is not "yes": it loads unticked and is saved as "no".
    const ChartRow stored{QStringLiteral("R Leo"),     QStringLiteral("070613"), QStringLiteral("Yes"),
                          QStringLiteral("r leo.PNG"), QStringLiteral("none"),   QStringLiteral("leo")};
    const ChartFields fields = fieldsOf(stored);
    QVERIFY(!fields.nightly);
    QCOMPARE(fields.fileType, std::optional(FileType::Jpg));
    QCOMPARE(fields.chartpic, QStringLiteral("r leo.PNG"));
    const ChartRow saved = editedRow(fields);
    QCOMPARE(saved.nightly, QStringLiteral("no"));
    // Save Changes adds no extension and keeps "none".
    QCOMPARE(saved.picturefile, stored.picturefile);
    QCOMPARE(saved.finderchart, stored.finderchart);
    QCOMPARE(saved.starname, stored.starname);
    QCOMPARE(saved.constell, stored.constell);
    QVERIFY(isTicked(QStringLiteral("yes")));
    QVERIFY(!isTicked(QStringLiteral("YES")));
}

void tst_moddbscreen::newRecordChecks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const QString x26(26, u'x');
    QTest::newRow("complete") << ""
                              << ""
                              << "";
    QTest::newRow("no name") << "name"
                             << ""
                             << "\"Variable\" field is empty";
    QTest::newRow("name too long") << "name" << QString(31, u'n') << "\"Variable\" field holds 31 characters";
    QTest::newRow("name of 30") << "name" << QString(30, u'n') << "";
    QTest::newRow("tab in name") << "name"
                                 << "ss\tcyg"
                                 << "\"Variable\" field holds a control character";
    QTest::newRow("bar in name") << "name"
                                 << "ss|cyg"
                                 << "\"Variable\" field holds a \"|\"";
    QTest::newRow("name not in the code page") << "name"
                                               << "ss \u2192 cyg"
                                               << "\"Variable\" field holds the character";
    QTest::newRow("apostrophe is a name") << "name"
                                          << "o'neil's star"
                                          << "";
    QTest::newRow("no chart id") << "chartdate"
                                 << ""
                                 << "\"Chart date / ID\" field is empty";
    QTest::newRow("chart id too long") << "chartdate"
                                       << "12345678901"
                                       << "\"Chart date / ID\" field holds 11";
    QTest::newRow("line break in chart id") << "chartdate"
                                            << "12\n34"
                                            << "\"Chart date / ID\" field holds a control";
    QTest::newRow("no chart") << "chartpic"
                              << ""
                              << "\"Chart\" field is empty";
    QTest::newRow("chart in a folder") << "chartpic"
                                       << "a/ss cyg"
                                       << "\"Chart\" field holds a \"/\"";
    QTest::newRow("chart in a windows folder") << "chartpic"
                                               << "a\\ss cyg"
                                               << "\"Chart\" field holds a \"\\\"";
    QTest::newRow("chart too long with extension") << "chartpic" << x26 + u'x' << "with \".gif\" added";
    QTest::newRow("chart of 26 and extension") << "chartpic" << x26 << "";
    QTest::newRow("no file type") << "type"
                                  << ""
                                  << ".png, .gif or .jpg";
    QTest::newRow("finder in a folder") << "finderpic"
                                        << "../f"
                                        << "\"Finder Chart\" field holds a \"/\"";
    QTest::newRow("finder too long with extension") << "finderpic" << x26 + u'x' << "\"Finder Chart\" field holds 27";
    QTest::newRow("no constellation") << "constell"
                                      << ""
                                      << "\"Constellation\" field is empty";
    QTest::newRow("constellation too long") << "constell"
                                            << "cygn"
                                            << "\"Constellation\" field holds 4";
}

void tst_moddbscreen::newRecordChecks()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    ChartFields fields = newFields();
    if (field == u"name")
        fields.name = value;
    else if (field == u"chartdate")
        fields.chartdate = value;
    else if (field == u"chartpic")
        fields.chartpic = value;
    else if (field == u"finderpic")
        fields.finderpic = value;
    else if (field == u"constell")
        fields.constell = value;
    else if (field == u"type")
        fields.fileType.reset();
    const QString problem = problemText(checkNewRecord(fields));
    if (message.isEmpty()) {
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        return;
    }
    QVERIFY(!problem.isEmpty());
    QVERIFY2(problem.contains(message), qPrintable(problem));
}

void tst_moddbscreen::editedRecordChecks_data()
{
    QTest::addColumn<QString>("picturefile");
    QTest::addColumn<QString>("finderchart");
    QTest::addColumn<QString>("message");
    QTest::newRow("as stored") << "ss cyg.gif"
                               << "none"
                               << "";
    QTest::newRow("no finder chart is none, not empty") << "ss cyg.gif"
                                                        << ""
                                                        << "or none when it has none";
    QTest::newRow("chart of 30 with extension") << QString(26, u'c') + ".gif"
                                                << "none"
                                                << "";
    QTest::newRow("chart of 31") << QString(27, u'c') + ".gif"
                                 << "none"
                                 << "\"Chart\" field holds 31";
    QTest::newRow("parent folder") << ".."
                                   << "none"
                                   << "which is not a file name";
    QTest::newRow("finder in a folder") << "ss cyg.gif"
                                        << "x/y.gif"
                                        << "\"Finder Chart\" field holds a \"/\"";
}

void tst_moddbscreen::editedRecordChecks()
{
    QFETCH(QString, picturefile);
    QFETCH(QString, finderchart);
    QFETCH(QString, message);
    ChartFields fields = fieldsOf({QStringLiteral("ss cyg"), QStringLiteral("1896"), QStringLiteral("yes"), picturefile,
                                   finderchart, QStringLiteral("cyg")});
    const QString problem = problemText(checkEditedRecord(fields));
    if (message.isEmpty()) {
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        return;
    }
    QVERIFY(!problem.isEmpty());
    QVERIFY2(problem.contains(message), qPrintable(problem));
}

void tst_moddbscreen::lookupsIgnoreCaseOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("as stored") << "ss cyg" << true;
    QTest::newRow("capitals") << "SS CYG" << true;
    QTest::newRow("trailing blank") << "ss cyg " << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("apostrophe") << "o'neil's star" << true;
    QTest::newRow("quote only") << "'" << false;
}

void tst_moddbscreen::lookupsIgnoreCaseOnly()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    AppFolder folder;
    make(folder);
    cataloguedata::addCharts(folder.path(),
                             {cataloguedata::chart(QStringLiteral("o'neil's star"), QStringLiteral("ori"))});
    // Found or not, never a failure.
    const std::optional<outcome::Problem> missing = problemOf(searchstar(folder.programFolder(), name));
    QCOMPARE(missing.has_value(), !found);
    QVERIFY(!missing || missing->kind == outcome::Kind::NotFound);
    const std::optional<outcome::Problem> taken = problemOf(checkduplicate(folder.programFolder(), name));
    QCOMPARE(taken.has_value(), found);
    QVERIFY(!taken || taken->kind == outcome::Kind::Duplicate);
    const std::optional<outcome::Problem> unloaded = problemOf(loadforedit(folder.programFolder(), name));
    QCOMPARE(unloaded.has_value(), !found);
    QVERIFY(!unloaded || unloaded->kind == outcome::Kind::NotFound);
    QVERIFY(sameStar(QStringLiteral("SS Cyg"), QStringLiteral("ss cyg")));
    QVERIFY(!sameStar(QStringLiteral("ss cyg "), QStringLiteral("ss cyg")));
}

void tst_moddbscreen::addchartStoresOrRefuses()
{
    AppFolder folder;
    make(folder);
    const outcome::Result<ChartRow> added = addchart(folder.programFolder(), newFields());
    QCOMPARE(problemText(added), QString());
    const auto stored = cataloguedata::storedChart(folder.path(), QStringLiteral("rr lyr"));
    QVERIFY(stored);
    QCOMPARE(stored->picturefile, QStringLiteral("rr lyr.gif"));
    QCOMPARE(stored->finderchart, QStringLiteral("none"));
    QCOMPARE(stored->nightly, QStringLiteral("yes"));
    QCOMPARE(added->picturefile, stored->picturefile);

    // The same star in other letters is a duplicate, whatever else the fields hold.
    ChartFields again = newFields(QStringLiteral("RR LYR"));
    again.fileType.reset();
    const std::optional<outcome::Problem> duplicate = problemOf(addchart(folder.programFolder(), again));
    QCOMPARE(duplicate->kind, outcome::Kind::Duplicate);
    QCOMPARE(duplicate->message,
             QStringLiteral("This star is already in the Database\n(maybe you want to edit its details instead?)"));

    ChartFields refused = newFields(QStringLiteral("chi cyg"));
    refused.fileType.reset();
    QCOMPARE(problemOf(addchart(folder.programFolder(), refused))->kind, outcome::Kind::Refused);
    QCOMPARE(cataloguedata::rowCount(folder.path(), QStringLiteral("charts")), 2);
}

void tst_moddbscreen::savechangesWritesTheFieldsAsTheyAre()
{
    AppFolder folder;
    make(folder);
    const QString seed = QStringLiteral("ss cyg");
    ChartFields fields = fieldsOf(*cataloguedata::storedChart(folder.path(), seed));
    fields.chartdate = QStringLiteral("X1");
    fields.nightly = false;
    fields.finderpic = QStringLiteral("none");
    // The file type buttons play no part in saving.
    fields.fileType = FileType::Png;
    QCOMPARE(problemText(savechanges(folder.programFolder(), QStringLiteral("SS CYG"), fields)), QString());
    auto stored = cataloguedata::storedChart(folder.path(), seed);
    QCOMPARE(stored->chart, QStringLiteral("X1"));
    QCOMPARE(stored->nightly, QStringLiteral("no"));
    QCOMPARE(stored->picturefile, QStringLiteral("ss cyg.gif"));
    QCOMPARE(stored->finderchart, QStringLiteral("none"));

    // A refused value leaves the row as it was.
    fields.chartdate = QStringLiteral("12345678901");
    const std::optional<outcome::Problem> refused = problemOf(savechanges(folder.programFolder(), seed, fields));
    QCOMPARE(refused->kind, outcome::Kind::Refused);
    QVERIFY2(refused->message.contains(QStringLiteral("Chart date / ID")), qPrintable(refused->message));
    QCOMPARE(cataloguedata::storedChart(folder.path(), seed)->chart, QStringLiteral("X1"));

    // A name not in the catalogue changes nothing.
    fields.chartdate = QStringLiteral("X2");
    fields.name = QStringLiteral("rr lyr");
    const std::optional<outcome::Problem> missing = problemOf(savechanges(folder.programFolder(), fields.name, fields));
    QCOMPARE(missing->kind, outcome::Kind::NotFound);
    QCOMPARE(missing->message,
             QStringLiteral("The star \"rr lyr\" is not in the database.\nNothing was saved. A star's name is the key "
                            "of its record and cannot be changed: to rename a star, add it under its new name with New "
                            "record and delete the old record."));
    QCOMPARE(cataloguedata::rowCount(folder.path(), QStringLiteral("charts")), 1);
    QCOMPARE(cataloguedata::storedChart(folder.path(), seed)->chart, QStringLiteral("X1"));

    // Renamed after Edit record to a star that is there too: its row is kept.
    const std::optional<outcome::Problem> renamed =
        problemOf(savechanges(folder.programFolder(), seed, fields, QStringLiteral("rr lyr")));
    QCOMPARE(renamed->kind, outcome::Kind::Refused);
    QVERIFY2(renamed->message.contains(u"\"ss cyg\"") && renamed->message.contains(u"\"rr lyr\""),
             qPrintable(renamed->message));
    QCOMPARE(cataloguedata::storedChart(folder.path(), seed)->chart, QStringLiteral("X1"));
    fields.name = seed;
    QCOMPARE(problemText(savechanges(folder.programFolder(), seed, fields, QStringLiteral("SS Cyg"))), QString());
}

void tst_moddbscreen::deletechartRemovesThatStarOnly()
{
    AppFolder folder;
    make(folder);
    cataloguedata::addCharts(folder.path(), {cataloguedata::chart(QStringLiteral("rr lyr"), QStringLiteral("lyr"))});
    QCOMPARE(problemOf(deletechart(folder.programFolder(), QStringLiteral("nobody")))->kind, outcome::Kind::NotFound);
    QCOMPARE(problemText(deletechart(folder.programFolder(), QString())), QStringLiteral("No star was named."));
    QCOMPARE(problemText(deletechart(folder.programFolder(), QStringLiteral("SS CYG"))), QString());
    QVERIFY(!cataloguedata::storedChart(folder.path(), QStringLiteral("ss cyg")));
    QVERIFY(cataloguedata::storedChart(folder.path(), QStringLiteral("rr lyr")));
}

void tst_moddbscreen::countsAndTheirTexts()
{
    AppFolder folder;
    make(folder);
    cataloguedata::addObservations(folder.path(), {{QStringLiteral("ss cyg"), QStringLiteral("2458124.3958")}});
    QCOMPARE(countcharts(folder.programFolder()).valueOr(-1), qint64(1));
    QCOMPARE(countobs(folder.programFolder()).valueOr(-1), qint64(1));
    QCOMPARE(chartsHeading(12), QStringLiteral("My charts (12)"));
    // Beyond 16 bits, and beyond 32.
    QCOMPARE(observationsHeading(5'000'000'000), QStringLiteral("My observations (5000000000)"));
    QCOMPARE(obsOf(40000, QStringLiteral("SS CYG")), QStringLiteral("40000 obs of SS CYG"));
    QCOMPARE(obsOf(0, QString()), QStringLiteral("0 obs of "));
}

void tst_moddbscreen::findobsCounts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("count");
    QTest::newRow("as stored") << "ss cyg" << qint64(3);
    QTest::newRow("capitals") << "SS CYG" << qint64(3);
    QTest::newRow("none yet") << "rr lyr" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("apostrophe") << "o'neil's star" << qint64(1);
}

void tst_moddbscreen::findobsCounts()
{
    QFETCH(QString, name);
    QFETCH(qint64, count);
    AppFolder folder;
    make(folder);
    cataloguedata::addObservations(folder.path(),
                                   {{QStringLiteral("ss cyg"), QStringLiteral("2458124.3958")},
                                    {QStringLiteral("SS Cyg"), QStringLiteral("2458125.1")},
                                    {QStringLiteral("o'neil's star"), QStringLiteral("2458125.2")},
                                    {QStringLiteral("ss cyg"), QStringLiteral("2458126.5")}});
    QCOMPARE(findobs(folder.programFolder(), name).valueOr(-1), count);
    catalogue::DataSource list(folder.programFolder());
    QVERIFY(list.run(observationsOf(name)));
    QCOMPARE(qint64(list.rowCount()), count);
    for (const QString &star : column(list, 0))
        QVERIFY(sameStar(star, name));
}

void tst_moddbscreen::failuresAreToldNotHidden()
{
    // No database at all: every routine says so instead of finding nothing.
    AppFolder folder;
    const std::optional<outcome::Problem> search =
        problemOf(searchstar(folder.programFolder(), QStringLiteral("ss cyg")));
    QCOMPARE(search->kind, outcome::Kind::Failed);
    QVERIFY(search->message.contains(QStringLiteral("missing")));
    QCOMPARE(search->title, QStringLiteral("Chart database"));
    QVERIFY(!problemText(findobs(folder.programFolder(), QStringLiteral("ss cyg"))).isEmpty());
    QVERIFY(!problemText(countcharts(folder.programFolder())).isEmpty());
    QCOMPARE(problemOf(addchart(folder.programFolder(), newFields()))->kind, outcome::Kind::Failed);
    QCOMPARE(problemOf(deletechart(folder.programFolder(), QStringLiteral("ss cyg")))->kind, outcome::Kind::Failed);
    QVERIFY(!folder.exists(QStringLiteral("starcharts.mdb")));
}

void tst_moddbscreen::missingFilesNameTheirFolders()
{
    AppFolder folder;
    const ChartRow row{QStringLiteral("ss cyg"),
                       QStringLiteral("1896"),
                       QStringLiteral("yes"),
                       QStringLiteral("ss cyg.gif"),
                       QStringLiteral("ss cyg-finder.gif"),
                       QStringLiteral("cyg")};
    const QString both = missingFiles(folder.programFolder(), row);
    QVERIFY2(both.contains(QStringLiteral("\"ss cyg.gif\" is not in the folder \"%1\"")
                               .arg(folder.file(QStringLiteral("starcharts")))),
             qPrintable(both));
    QVERIFY2(both.contains(QStringLiteral("\"ss cyg-finder.gif\" is not in the folder \"%1\"")
                               .arg(folder.file(QStringLiteral("charts")))),
             qPrintable(both));

    QDir(folder.path()).mkpath(QStringLiteral("starcharts"));
    QDir(folder.path()).mkpath(QStringLiteral("charts"));
    folder.write(QStringLiteral("starcharts/ss cyg.gif"), "GIF89a");
    folder.write(QStringLiteral("charts/ss cyg-finder.gif"), "GIF89a");
    QVERIFY(missingFiles(folder.programFolder(), row).isEmpty());
    // A chart image in the finder charts' folder is not where it belongs.
    folder.write(QStringLiteral("charts/rr lyr.gif"), "GIF89a");
    ChartRow other = row;
    other.picturefile = QStringLiteral("rr lyr.gif");
    other.finderchart = QStringLiteral("none");
    QVERIFY(missingFiles(folder.programFolder(), other).contains(QStringLiteral("\"rr lyr.gif\"")));
}

void tst_moddbscreen::listOrders_data()
{
    QTest::addColumn<int>("query");
    QTest::addColumn<QStringList>("expected");
    // Column 3 of the observation list, obsdate; column 0 of the chart list, starname.
    QTest::newRow("observations by date, as text") << 0 << QStringList{"", "1000.5", "245.1", "2450000.5", "999.5"};
    QTest::newRow("newest first, as text") << 1 << QStringList{"999.5", "2450000.5", "245.1", "1000.5", ""};
    QTest::newRow("table order") << 2 << QStringList{"2450000.5", "999.5", "1000.5", "", "245.1"};
    QTest::newRow("one star's, by date") << 3 << QStringList{"1000.5", "2450000.5"};
    QTest::newRow("charts by constellation, then name") << 4 << QStringList{"z and", "Beta Lyr", "R Lyr", "rr lyr"};
    QTest::newRow("one chart") << 5 << QStringList{"R Lyr"};
}

void tst_moddbscreen::listOrders()
{
    QFETCH(int, query);
    QFETCH(QStringList, expected);
    AppFolder folder;
    make(folder);
    QVERIFY(deletechart(folder.programFolder(), QStringLiteral("ss cyg")));
    cataloguedata::addCharts(folder.path(),
                             {cataloguedata::chart(QStringLiteral("rr lyr"), QStringLiteral("lyr")),
                              cataloguedata::chart(QStringLiteral("z and"), QStringLiteral("AND")),
                              cataloguedata::chart(QStringLiteral("R Lyr"), QStringLiteral("LYR")),
                              cataloguedata::chart(QStringLiteral("Beta Lyr"), QStringLiteral("lyr"))});
    cataloguedata::addObservations(folder.path(),
                                   {{QStringLiteral("ss cyg"), QStringLiteral("2450000.5")},
                                    {QStringLiteral("rr lyr"), QStringLiteral("999.5")},
                                    {QStringLiteral("SS CYG"), QStringLiteral("1000.5")}});
    {
        // An observation without a date, as another program might leave one.
        SqlFile(folder.path()).exec(QStringLiteral("INSERT INTO cumobs (star) VALUES ('rr lyr')"));
    }
    cataloguedata::addObservations(folder.path(), {{QStringLiteral("rr lyr"), QStringLiteral("245.1")}});

    const catalogue::ListQuery queries[] = {observationsByDate(),       observationsNewestFirst(),
                                            observationsInTableOrder(), observationsOf(QStringLiteral("ss cyg")),
                                            chartsByConstellation(),    chartNamed(QStringLiteral("r lyr"))};
    catalogue::DataSource list(folder.programFolder());
    QCOMPARE(problemText(list.run(queries[query])), QString());
    QCOMPARE(column(list, query < 4 ? 3 : 0), expected);
}

void tst_moddbscreen::listsComeInChunks()
{
    AppFolder folder;
    make(folder);
    QList<Observation> many;
    for (int i = 0; i < 700; ++i)
        many.append(
            {QStringLiteral("star %1").arg(i % 7), QStringLiteral("24500%1.5").arg(i % 350, 3, 10, QLatin1Char('0'))});
    cataloguedata::addObservations(folder.path(), many);

    catalogue::DataSource list(folder.programFolder());
    QVERIFY(list.run(observationsNewestFirst()));
    QCOMPARE(list.rowCount(), catalogue::DataSource::chunk);
    QVERIFY(list.canFetchMore(QModelIndex()));
    QCOMPARE(list.columnCount(), 7);
    QCOMPARE(list.headerData(3, Qt::Horizontal).toString(), QStringLiteral("obsdate"));
    QCOMPARE(list.headerData(6, Qt::Horizontal).toString(), QStringLiteral("chart"));
    fetchAll(list);
    QCOMPARE(list.rowCount(), 700);
    // Every row once, in order, across the chunks' seams.
    const QStringList dates = column(list, 3);
    QStringList sorted = dates;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    QCOMPARE(dates, sorted);
    QCOMPARE(dates.first(), QStringLiteral("24500349.5"));
    QCOMPARE(dates.count(QStringLiteral("24500000.5")), 2);
}

void tst_moddbscreen::failedRunKeepsTheList()
{
    AppFolder folder;
    make(folder);
    catalogue::DataSource list(folder.programFolder());
    QVERIFY(list.run(chartsByConstellation()));
    QVERIFY(QFile::remove(folder.file(QStringLiteral("starcharts.mdb"))));
    QVERIFY(problemText(list.run(chartNamed(QStringLiteral("ss cyg")))).contains(QStringLiteral("missing")));
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.query().kind, store::List::ChartsByConstellation);
}

void tst_moddbscreen::openListDoesNotHoldTheFile()
{
    AppFolder folder;
    make(folder);
    QList<Observation> many;
    for (int i = 0; i < 1000; ++i)
        many.append({QStringLiteral("ss cyg"), QString::number(2450000 + i)});
    cataloguedata::addObservations(folder.path(), many);
    catalogue::DataSource list(folder.programFolder());
    QVERIFY(list.run(observationsByDate()));
    QVERIFY(list.canFetchMore(QModelIndex()));
    // As the observation screen records while the list shows its first rows.
    store::Database writer(folder.programFolder());
    store::ObservationRow row;
    row.star = QStringLiteral("ss cyg");
    row.obsdate = QStringLiteral("2460000.5");
    QElapsedTimer timer;
    timer.start();
    const outcome::Done added = store::addObservation(writer, row);
    QVERIFY2(added, qPrintable(problemText(added)));
    QVERIFY(timer.elapsed() < 1000);
    fetchAll(list);
    QCOMPARE(list.rowCount(), 1001);
}

QTEST_APPLESS_MAIN(tst_moddbscreen)
#include "tst_moddbscreen.moc"
