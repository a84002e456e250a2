// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/appender.h"
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/lookupindexes.h"
#include "store/observationkey.h"
#include "store/observations.h"
#include "store/schema.h"
#include "tests/support/appfolder.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace store;

class tst_store final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createsSchemaAndSeedRow();
    void refusesToOverwrite();
    void engineRefusesBadTexts_data();
    void engineRefusesBadTexts();
    void nullIsAccepted();
    void caseVariantDuplicateRefused();
    void comparisonAndOrderIgnoreCase();
    void metacharactersRoundTrip_data();
    void metacharactersRoundTrip();
    void unknownIdentifiersRefused();
    void foreignFilesLeftUntouched_data();
    void foreignFilesLeftUntouched();
    void missingFileIsNotCreated();
    void folderInPlaceOfTheFile();
    void databaseInUseIsToldWithinASecond();
    void lookupIndexesServeTheSummaryAndLists();
    void earlierDatabaseGetsLookupsOnce();
    void foreignDatabaseNeverIndexed_data();
    void foreignDatabaseNeverIndexed();
    void observationKey_data();
    void observationKey();
    void appenderAddsWholeRowsOrNone();
};

static ChartRow chartRow(const QString &name, const QString &constell = QStringLiteral("cyg"))
{
    return {name,    QStringLiteral("X1"), QStringLiteral("no"), QStringLiteral("a.gif"), QStringLiteral("none"),
            constell};
}

// The fields of the rows in table order.
constexpr QString ChartRow::*chartFields[] = {&ChartRow::starname,    &ChartRow::chart,       &ChartRow::nightly,
                                              &ChartRow::picturefile, &ChartRow::finderchart, &ChartRow::constell};
constexpr QString ObservationRow::*observationFields[] = {
    &ObservationRow::star,    &ObservationRow::magnitude, &ObservationRow::estimate, &ObservationRow::obsdate,
    &ObservationRow::obscode, &ObservationRow::notes,     &ObservationRow::chart};

static QString sqlite3(const QString &db, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {db, sql});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

static QStringList withoutLookups()
{
    QStringList statements = creationStatements();
    for (const QString &sql : additionStatements())
        statements.removeAll(sql);
    statements.append(QStringLiteral("INSERT INTO cumobs VALUES ('ss cyg', '11.2', 'e', '2459124.375', 'na', 'na', "
                                     "'1896')"));
    return statements;
}

void tst_store::createsSchemaAndSeedRow()
{
    AppFolder folder;
    const outcome::Done created = createDefault(folder.programFolder());
    QVERIFY2(created, qPrintable(problemText(created)));
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("starcharts.mdb")});

    Database db(folder.programFolder());
    const outcome::Done opened = db.open();
    QVERIFY2(opened, qPrintable(problemText(opened)));
    QCOMPARE(countCharts(db).valueOr(-1), 1);
    QCOMPARE(countObservations(db).valueOr(-1), 0);
    const auto seed = chartsByConstellation(db);
    QVERIFY(seed && seed->size() == 1);
    QCOMPARE(seed->at(0).starname, QStringLiteral("ss cyg"));
    QCOMPARE(seed->at(0).chart, QStringLiteral("1896"));
    QCOMPARE(seed->at(0).nightly, QStringLiteral("yes"));
    QCOMPARE(seed->at(0).picturefile, QStringLiteral("ss cyg.gif"));
    QCOMPARE(seed->at(0).finderchart, QStringLiteral("ss cyg-finder.gif"));
    QCOMPARE(seed->at(0).constell, QStringLiteral("cyg"));

    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("sqlite3 is not installed");
    // Seen from outside, with the engine's own tool.
    const QString path = folder.file(QStringLiteral("starcharts.mdb"));
    QCOMPARE(sqlite3(path, QStringLiteral("select group_concat(name, ',') from pragma_table_info('Charts')")),
             QStringLiteral("starname,chart,nightly,picturefile,finderchart,constell"));
    QCOMPARE(sqlite3(path, QStringLiteral("select group_concat(name, ',') from pragma_table_info('cumobs')")),
             QStringLiteral("star,magnitude,estimate,obsdate,obscode,notes,chart"));
    QCOMPARE(sqlite3(path,
                     QStringLiteral("select name, tbl_name, \"unique\" from sqlite_master "
                                    "join pragma_index_list('Charts') using (name) where type='index'")),
             QStringLiteral("starname|Charts|1"));
    QCOMPARE(sqlite3(path, QStringLiteral("select group_concat(name, ',') from sqlite_master where type='table'")),
             QStringLiteral("Charts,cumobs,positions,ledger,ledger_coverage,changes,sequences,sequence_changes,"
                            "sequence_labels,imports,import_parts,import_undos"));
}

void tst_store::refusesToOverwrite()
{
    AppFolder folder;
    folder.write(QStringLiteral("starcharts.mdb"), "mine");
    const outcome::Done created = createDefault(folder.programFolder());
    QVERIFY(!created);
    QCOMPARE(created.problem().kind, outcome::Kind::Duplicate);
    QVERIFY(!created.problem().message.isEmpty());
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), QByteArray("mine"));
}

void tst_store::engineRefusesBadTexts_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("empty starname") << "charts"
                                    << "starname"
                                    << "" << false;
    QTest::newRow("empty obscode") << "cumobs"
                                   << "obscode"
                                   << "" << false;
    QTest::newRow("notes at 100") << "cumobs"
                                  << "notes" << QString(100, QLatin1Char('n')) << true;
    QTest::newRow("notes at 101") << "cumobs"
                                  << "notes" << QString(101, QLatin1Char('n')) << false;
    QTest::newRow("chart 10 in charts") << "charts"
                                        << "chart" << QString(10, QLatin1Char('c')) << true;
    QTest::newRow("chart 11 in charts") << "charts"
                                        << "chart" << QString(11, QLatin1Char('c')) << false;
    QTest::newRow("chart 30 in cumobs") << "cumobs"
                                        << "chart" << QString(30, QLatin1Char('c')) << true;
    // Length counts characters, not the bytes they take.
    QTest::newRow("30 accented letters") << "cumobs"
                                         << "star" << QString(30, QChar(0xe9)) << true;
    QTest::newRow("nightly 4") << "charts"
                               << "nightly"
                               << "yess" << false;
}

void tst_store::engineRefusesBadTexts()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    QVERIFY(db.open());

    // A chart's other columns are good; an observation's other columns are NULL.
    const bool chart = table == QStringLiteral("charts");
    const qsizetype index = store::table(table)->columnNames().indexOf(column);
    ChartRow chartWith = chartRow(QStringLiteral("rr lyr"));
    ObservationRow observationWith;
    (chart ? chartWith.*chartFields[index] : observationWith.*observationFields[index]) = value;
    const auto count = [&] { return (chart ? countCharts(db) : countObservations(db)).valueOr(-1); };
    const qint64 before = count();
    const outcome::Done added = chart ? addChart(db, chartWith) : addObservation(db, observationWith);
    QCOMPARE(bool(added), accepted);
    QCOMPARE(count(), before + (accepted ? 1 : 0));
    if (!accepted) {
        QVERIFY2(added.problem().message.contains(column), qPrintable(added.problem().message));
        QCOMPARE(added.problem().kind, outcome::Kind::Refused);
    }
}

void tst_store::nullIsAccepted()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    ObservationRow row;
    row.star = QStringLiteral("ss cyg");
    QVERIFY(row.notes.isNull());
    QVERIFY(addObservation(db, row));
    QCOMPARE(countObservations(db).valueOr(-1), 1);
}

void tst_store::caseVariantDuplicateRefused()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    const outcome::Done added = addChart(db, chartRow(QStringLiteral("SS Cyg")));
    QVERIFY(!added);
    QVERIFY2(added.problem().message.contains(QStringLiteral("starname")), qPrintable(added.problem().message));
    QCOMPARE(added.problem().kind, outcome::Kind::Duplicate);
    QCOMPARE(countCharts(db).valueOr(-1), 1);
    QVERIFY(addChart(db, chartRow(QStringLiteral("ss cyg b"))));
    QVERIFY(!changeChart(db, QStringLiteral("ss cyg b"), chartRow(QStringLiteral("SS CYG"))));
}

void tst_store::comparisonAndOrderIgnoreCase()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    for (const char *name : {"Z Cyg", "a cyg", "B Cyg", "chi cyg"}) {
        const outcome::Done added = addChart(db, chartRow(QString::fromLatin1(name), QStringLiteral("CYG")));
        QVERIFY2(added, qPrintable(problemText(added)));
    }
    QCOMPARE(starsOfConstellation(db, QStringLiteral("Cyg")).valueOr({}),
             (QStringList{QStringLiteral("a cyg"), QStringLiteral("B Cyg"), QStringLiteral("chi cyg"),
                          QStringLiteral("ss cyg"), QStringLiteral("Z Cyg")}));
    QVERIFY(hasChart(db, QStringLiteral("SS CYG")).valueOr(false));
}

void tst_store::metacharactersRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"o'neil cyg", "\"quoted\"", "100% cyg", "under_score", "a; drop table charts", "x -- y",
                             "[starname]", "' or '1'='1"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_store::metacharactersRoundTrip()
{
    QFETCH(QString, name);
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    const outcome::Done added = addChart(db, chartRow(name));
    QVERIFY2(added, qPrintable(problemText(added)));
    ObservationRow observation;
    observation.star = name;
    QVERIFY(addObservation(db, observation));

    QVERIFY(hasChart(db, name).valueOr(false));
    QCOMPARE(countObservationsOf(db, name).valueOr(-1), 1);
    const auto row = chartOf(db, name);
    QVERIFY(row && *row);
    QCOMPARE((*row)->starname, name);
    ChartRow changed = chartRow(name);
    changed.chart = QStringLiteral("Y2");
    QVERIFY(changeChart(db, name, changed));
    QCOMPARE((*chartOf(db, name))->chart, QStringLiteral("Y2"));
    QVERIFY(removeChart(db, name));
    // Only that row went; the seed row and the table are still there.
    QCOMPARE(countCharts(db).valueOr(-1), 1);
}

void tst_store::unknownIdentifiersRefused()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    QVERIFY(!Appender::prepare(db, charts(), {QStringLiteral("starname) values ('x'); --")}));
    QVERIFY(!Appender::prepare(db, cumobs(), {QStringLiteral("obsdate desc, star")}));
    QCOMPARE(countCharts(db).valueOr(-1), 1);
}

void tst_store::foreignFilesLeftUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("random bytes") << QByteArray("\x01\x02garbage that is no database\xff\xfe").repeated(200);
    QTest::newRow("text") << QByteArray("#TYPE=Visual\r\n");
}

void tst_store::foreignFilesLeftUntouched()
{
    QFETCH(QByteArray, content);
    AppFolder folder;
    folder.write(QStringLiteral("starcharts.mdb"), content);
    {
        Database db(folder.programFolder());
        const outcome::Done opened = db.open();
        QVERIFY(!opened);
        QVERIFY2(opened.problem().message.contains(QStringLiteral("not a database this program can use")),
                 qPrintable(opened.problem().message));
        QVERIFY(!addChart(db, chartRow(QStringLiteral("x"))));
        QVERIFY(!countCharts(db));
    }
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), content);
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("starcharts.mdb")});
}

void tst_store::missingFileIsNotCreated()
{
    AppFolder folder;
    Database db(folder.programFolder());
    const outcome::Done opened = db.open();
    QVERIFY(!opened);
    QVERIFY(opened.problem().message.contains(QStringLiteral("missing")));
    QVERIFY(folder.entries().isEmpty());
}

void tst_store::folderInPlaceOfTheFile()
{
    AppFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("starcharts.mdb")));
    Database db(folder.programFolder());
    const outcome::Done opened = db.open();
    QVERIFY(!opened);
    QVERIFY2(opened.problem().message.contains(QStringLiteral("is a folder, not a file")),
             qPrintable(opened.problem().message));
    QVERIFY(opened.problem().message.contains(folder.file(QStringLiteral("starcharts.mdb"))));
}

void tst_store::databaseInUseIsToldWithinASecond()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    const QByteArray before = folder.read(QStringLiteral("starcharts.mdb"));
    {
        // Another program holds the file for itself.
        SqlFile other(folder.path());
        QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        for (const bool writing : {false, true}) {
            Database db(folder.programFolder());
            QElapsedTimer waited;
            waited.start();
            const outcome::Done done = writing ? db.begin(std::chrono::milliseconds(1000)) : db.open();
            QVERIFY(!done);
            QVERIFY2(waited.elapsed() < 1500, qPrintable(QString::number(waited.elapsed())));
            const QString message = done.problem().message;
            QCOMPARE(done.problem().kind, outcome::Kind::Busy);
            QVERIFY2(message.contains(QStringLiteral("in use by another program")), qPrintable(message));
            QVERIFY2(message.contains(QStringLiteral("Try again")), qPrintable(message));
            QVERIFY(!message.contains(QStringLiteral("move it aside")));
        }
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
    }
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), before);
    Database db(folder.programFolder());
    const outcome::Done opened = db.open();
    QVERIFY2(opened, qPrintable(problemText(opened)));
}

void tst_store::lookupIndexesServeTheSummaryAndLists()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Present);
    SqlFile db(folder.path());
    const auto plan = [&db](const QString &sql) {
        QStringList steps;
        for (const QVariantList &step : db.rows(QStringLiteral("EXPLAIN QUERY PLAN ") + sql))
            steps.append(step.value(3).toString());
        return steps.join(QLatin1Char('/'));
    };
    // One star's newest observation is read from the index, not sorted.
    const QString summary = plan(QStringLiteral("SELECT * FROM cumobs WHERE star = 'SS Cyg' ORDER BY obsdate DESC"));
    QVERIFY2(summary.contains(QStringLiteral("INDEX cumobs_star_obsdate")), qPrintable(summary));
    QVERIFY2(!summary.contains(QStringLiteral("TEMP B-TREE")), qPrintable(summary));
    const QString list = plan(QStringLiteral("SELECT * FROM cumobs ORDER BY obsdate ASC"));
    QVERIFY2(list.contains(QStringLiteral("INDEX cumobs_obsdate")), qPrintable(list));
}

void tst_store::earlierDatabaseGetsLookupsOnce()
{
    AppFolder folder;
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")), withoutLookups()));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Missing);
    const outcome::Done added = addLookups(folder.programFolder());
    QVERIFY2(added, qPrintable(problemText(added)));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Present);
    Database db(folder.programFolder());
    QCOMPARE(countObservations(db).valueOr(-1), 1);
    QStringList indexes;
    for (const QVariantList &index :
         SqlFile(folder.path())
             .rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('index', 'table') "
                                  "AND name NOT LIKE 'sqlite%' ORDER BY name")))
        indexes.append(index.value(0).toString());
    QCOMPARE(indexes,
             (QStringList{"Charts", "changes", "cumobs", "cumobs_obsdate", "cumobs_star_obsdate", "import_parts",
                          "import_undos", "imports", "ledger", "ledger_coverage", "positions", "sequence_changes",
                          "sequence_labels", "sequences", "starname"}));

    // Once is enough: the file stays as it is from now on.
    const QByteArray indexed = folder.read(QStringLiteral("starcharts.mdb"));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Present);
    QVERIFY(addLookups(folder.programFolder()));
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), indexed);

    // One index of the two missing: the other is added.
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")), {QStringLiteral("DROP INDEX cumobs_obsdate")}));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Missing);
    QVERIFY(addLookups(folder.programFolder()));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Present);
}

void tst_store::foreignDatabaseNeverIndexed_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QByteArray>("bytes");

    const QStringList ours = withoutLookups();
    const auto changed = [&ours](const QString &from, const QString &to) {
        QStringList statements = ours;
        for (QString &sql : statements)
            sql.replace(from, to);
        return statements;
    };
    QTest::newRow("notes of another length")
        << changed(QStringLiteral("length(notes) <= 100"), QStringLiteral("length(notes) <= 50")) << QByteArray();
    QTest::newRow("obsdate of another type")
        << changed(QStringLiteral("obsdate TEXT"), QStringLiteral("obsdate REAL")) << QByteArray();
    QTest::newRow("another column name") << changed(QStringLiteral("obscode"), QStringLiteral("code")) << QByteArray();
    QTest::newRow("a table more") << ours + QStringList{QStringLiteral("CREATE TABLE seen (star TEXT)")}
                                  << QByteArray();
    QTest::newRow("a column more") << ours + QStringList{QStringLiteral("ALTER TABLE cumobs ADD COLUMN seen TEXT")}
                                   << QByteArray();
    QTest::newRow("an index of its own") << ours + QStringList{QStringLiteral("CREATE INDEX mine ON cumobs (star)")}
                                         << QByteArray();
    QTest::newRow("no index on the star name")
        << changed(QStringLiteral("CREATE UNIQUE INDEX starname ON Charts (starname)"), QStringLiteral("SELECT 1"))
        << QByteArray();
    QTest::newRow("empty file") << QStringList() << QByteArray("");
    QTest::newRow("random bytes") << QStringList() << QByteArray("\x13\x37 not a database\xff").repeated(300);
}

void tst_store::foreignDatabaseNeverIndexed()
{
    QFETCH(QStringList, statements);
    QFETCH(QByteArray, bytes);
    AppFolder folder;
    if (statements.isEmpty())
        folder.write(QStringLiteral("starcharts.mdb"), bytes);
    else
        QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")), statements));
    const QByteArray before = folder.read(QStringLiteral("starcharts.mdb"));
    QCOMPARE(lookups(folder.programFolder()), Lookups::Foreign);
    const outcome::Done added = addLookups(folder.programFolder());
    QVERIFY(!added);
    QVERIFY(!added.problem().message.isEmpty());
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), before);
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("starcharts.mdb")});
}

void tst_store::observationKey_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<bool>("same");

    const QStringList recorded = {QStringLiteral("ss cyg"), QStringLiteral("2458124.3958"), QStringLiteral("11.2")};
    const auto with = [&recorded](int column, const QString &text) {
        QStringList changed = recorded;
        changed[column] = text;
        return changed;
    };
    QTest::newRow("letter case") << recorded << with(0, QStringLiteral("SS Cyg")) << true;
    QTest::newRow("trailing zeros") << recorded << with(1, QStringLiteral("2458124.39580")) << true;
    QTest::newRow("fifth decimal") << recorded << with(1, QStringLiteral("2458124.39581")) << true;
    QTest::newRow("fourth decimal") << recorded << with(1, QStringLiteral("2458124.3959")) << false;
    QTest::newRow("magnitude form") << recorded << with(2, QStringLiteral("11.20")) << true;
    QTest::newRow("plus sign") << recorded << with(2, QStringLiteral("+11.2")) << true;
    QTest::newRow("other magnitude") << recorded << with(2, QStringLiteral("11.3")) << false;
    QTest::newRow("minus zero") << with(2, QStringLiteral("0.0")) << with(2, QStringLiteral("-0")) << true;
    QTest::newRow("other star") << recorded << with(0, QStringLiteral("ss cyg ")) << false;
}

void tst_store::observationKey()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(bool, same);
    const auto a = store::observationKey(first[0], first[1], first[2]);
    const auto b = store::observationKey(second[0], second[1], second[2]);
    QVERIFY(a && b);
    QCOMPARE(*a == *b, same);
    if (same)
        QCOMPARE(qHash(*a), qHash(*b));
    // No key without numbers.
    QVERIFY(!store::observationKey(first[0], QStringLiteral("2458124.3958 "), first[2]));
    QVERIFY(!store::observationKey(first[0], first[1], QStringLiteral("<11.2")));
    QVERIFY(!store::observationKey(first[0], first[1], QStringLiteral("1e1")));
}

void tst_store::appenderAddsWholeRowsOrNone()
{
    AppFolder folder;
    QVERIFY(createDefault(folder.programFolder()));
    Database db(folder.programFolder());
    auto prepared = Appender::prepare(db, cumobs(),
                                      {column::star, column::obsdate, column::magnitude, column::obscode, column::notes,
                                       column::estimate, column::chart});
    QVERIFY2(prepared, qPrintable(problemText(prepared)));
    Appender &appender = **prepared;
    QVERIFY(appender.append({u"o'hare", u"2458124.3958", u"11.2", u"na", u"It's; DROP TABLE cumobs", u"<110", u"X"}));
    const outcome::Done empty =
        appender.append({u"ss cyg", u"2458124.3958", u"11.2", u"na", QStringView(), u"110 115", u"X"});
    QVERIFY(!empty);
    QCOMPARE(empty.problem().message,
             QStringLiteral("The value for \"notes\" must not be empty and may hold at most 100 "
                            "characters."));
    QVERIFY(!appender.append({u"ss cyg", u"2458124.3958", u"11.2", u"na", u"na", u"110 115", QString(31, u'c')}));
    QVERIFY(!appender.append({u"too", u"few"}));
    QCOMPARE(countObservations(db).valueOr(-1), 1);
    QCOMPARE((*observationAt(db, 1))->notes, QStringLiteral("It's; DROP TABLE cumobs"));

    const auto unknown = Appender::prepare(db, cumobs(), {column::star, QStringLiteral("comment")});
    QVERIFY(!unknown);
    QCOMPARE(unknown.problem().message, QStringLiteral("Unknown column \"comment\" in table \"cumobs\"."));
}

QTEST_APPLESS_MAIN(tst_store)
#include "tst_store.moc"
