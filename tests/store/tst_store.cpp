// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/appender.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/lookupindexes.h"
#include "store/observationkey.h"
#include "store/schema.h"
#include "tests/support/appfolder.h"
#include "tests/support/testkit.h"

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

static QVariantMap chartRow(const QString &name, const QString &constell = QStringLiteral("cyg"))
{
    return {{QStringLiteral("starname"), name},
            {QStringLiteral("chart"), QStringLiteral("X1")},
            {QStringLiteral("nightly"), QStringLiteral("no")},
            {QStringLiteral("picturefile"), QStringLiteral("a.gif")},
            {QStringLiteral("finderchart"), QStringLiteral("none")},
            {QStringLiteral("constell"), constell}};
}

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
    for (const QString &sql : lookupIndexStatements())
        statements.removeAll(sql);
    statements.append(QStringLiteral("INSERT INTO cumobs VALUES ('ss cyg', '11.2', 'e', '2459124.375', 'na', 'na', "
                                     "'1896')"));
    return statements;
}

void tst_store::createsSchemaAndSeedRow()
{
    AppFolder folder;
    QString error;
    QVERIFY2(createDefault(folder.path(), &error), qPrintable(error));
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("starcharts.mdb")});

    Database db(folder.path());
    QVERIFY2(db.open(), qPrintable(db.error()));
    QCOMPARE(db.count(QStringLiteral("charts")), 1);
    QCOMPARE(db.count(QStringLiteral("cumobs")), 0);
    const auto seed = db.first(QStringLiteral("charts"), std::nullopt);
    QVERIFY(seed);
    QCOMPARE(seed->value(QStringLiteral("starname")).toString(), QStringLiteral("ss cyg"));
    QCOMPARE(seed->value(QStringLiteral("chart")).toString(), QStringLiteral("1896"));
    QCOMPARE(seed->value(QStringLiteral("nightly")).toString(), QStringLiteral("yes"));
    QCOMPARE(seed->value(QStringLiteral("picturefile")).toString(), QStringLiteral("ss cyg.gif"));
    QCOMPARE(seed->value(QStringLiteral("finderchart")).toString(), QStringLiteral("ss cyg-finder.gif"));
    QCOMPARE(seed->value(QStringLiteral("constell")).toString(), QStringLiteral("cyg"));

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
    QCOMPARE(sqlite3(path, QStringLiteral("select count(*) from sqlite_master where type='table'")),
             QStringLiteral("2"));
}

void tst_store::refusesToOverwrite()
{
    AppFolder folder;
    folder.write(QStringLiteral("starcharts.mdb"), "mine");
    QString error;
    QVERIFY(!createDefault(folder.path(), &error));
    QVERIFY(!error.isEmpty());
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
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    QVERIFY(db.open());

    QVariantMap row;
    if (table == QStringLiteral("charts"))
        row = chartRow(QStringLiteral("rr lyr"));
    row.insert(column, value);
    const qint64 before = db.count(table);
    QCOMPARE(db.insert(table, row), accepted);
    QCOMPARE(db.count(table), before + (accepted ? 1 : 0));
    if (!accepted)
        QVERIFY2(db.error().contains(column), qPrintable(db.error()));
}

void tst_store::nullIsAccepted()
{
    AppFolder folder;
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    QVERIFY(db.insert(QStringLiteral("cumobs"),
                      {{QStringLiteral("star"), QStringLiteral("ss cyg")},
                       {QStringLiteral("notes"), QVariant(QMetaType::fromType<QString>())}}));
    QCOMPARE(db.count(QStringLiteral("cumobs")), 1);
}

void tst_store::caseVariantDuplicateRefused()
{
    AppFolder folder;
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    QVERIFY(!db.insert(QStringLiteral("charts"), chartRow(QStringLiteral("SS Cyg"))));
    QVERIFY2(db.error().contains(QStringLiteral("starname")), qPrintable(db.error()));
    QCOMPARE(db.count(QStringLiteral("charts")), 1);
    QVERIFY(db.insert(QStringLiteral("charts"), chartRow(QStringLiteral("ss cyg b"))));
    QVERIFY(!db.update(QStringLiteral("charts"), {QStringLiteral("starname"), QStringLiteral("ss cyg b")},
                       {{QStringLiteral("starname"), QStringLiteral("SS CYG")}}));
}

void tst_store::comparisonAndOrderIgnoreCase()
{
    AppFolder folder;
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    for (const char *name : {"Z Cyg", "a cyg", "B Cyg", "chi cyg"})
        QVERIFY2(db.insert(QStringLiteral("charts"), chartRow(QString::fromLatin1(name), QStringLiteral("CYG"))),
                 qPrintable(db.error()));
    QSqlQuery q = db.select(QStringLiteral("charts"), Where{QStringLiteral("constell"), QStringLiteral("Cyg")},
                            {{QStringLiteral("starname")}});
    QStringList names;
    while (q.next())
        names.append(q.value(0).toString());
    QCOMPARE(names,
             (QStringList{QStringLiteral("a cyg"), QStringLiteral("B Cyg"), QStringLiteral("chi cyg"),
                          QStringLiteral("ss cyg"), QStringLiteral("Z Cyg")}));
    QCOMPARE(db.count(QStringLiteral("charts"), Where{QStringLiteral("StarName"), QStringLiteral("SS CYG")}), 1);
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
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    QVERIFY2(db.insert(QStringLiteral("charts"), chartRow(name)), qPrintable(db.error()));
    QVERIFY2(db.insert(QStringLiteral("cumobs"), {{QStringLiteral("star"), name}}), qPrintable(db.error()));

    const Where byName{QStringLiteral("starname"), name};
    QCOMPARE(db.count(QStringLiteral("charts"), byName), 1);
    QCOMPARE(db.count(QStringLiteral("cumobs"), Where{QStringLiteral("star"), name}), 1);
    const auto row = db.first(QStringLiteral("charts"), byName);
    QVERIFY(row);
    QCOMPARE(row->value(QStringLiteral("starname")).toString(), name);
    QVERIFY(db.update(QStringLiteral("charts"), byName, {{QStringLiteral("chart"), QStringLiteral("Y2")}}));
    QCOMPARE(db.first(QStringLiteral("charts"), byName)->value(QStringLiteral("chart")).toString(),
             QStringLiteral("Y2"));
    QVERIFY(db.remove(QStringLiteral("charts"), byName));
    // Only that row went; the seed row and the table are still there.
    QCOMPARE(db.count(QStringLiteral("charts")), 1);
}

void tst_store::unknownIdentifiersRefused()
{
    AppFolder folder;
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    QCOMPARE(db.count(QStringLiteral("charts; drop table charts")), -1);
    QVERIFY(
        !db.insert(QStringLiteral("charts"), {{QStringLiteral("starname) values ('x'); --"), QStringLiteral("x")}}));
    QVERIFY(!db.select(QStringLiteral("cumobs"), std::nullopt, {{QStringLiteral("obsdate desc, star")}}).isActive());
    QCOMPARE(db.count(QStringLiteral("charts")), 1);
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
        Database db(folder.path());
        QVERIFY(!db.open());
        QVERIFY2(db.error().contains(QStringLiteral("not a database this program can use")), qPrintable(db.error()));
        QVERIFY(!db.insert(QStringLiteral("charts"), chartRow(QStringLiteral("x"))));
        QCOMPARE(db.count(QStringLiteral("charts")), -1);
    }
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), content);
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("starcharts.mdb")});
}

void tst_store::missingFileIsNotCreated()
{
    AppFolder folder;
    Database db(folder.path());
    QVERIFY(!db.open());
    QVERIFY(db.error().contains(QStringLiteral("missing")));
    QVERIFY(folder.entries().isEmpty());
}

void tst_store::folderInPlaceOfTheFile()
{
    AppFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("starcharts.mdb")));
    Database db(folder.path());
    QVERIFY(!db.open());
    QVERIFY2(db.error().contains(QStringLiteral("is a folder, not a file")), qPrintable(db.error()));
    QVERIFY(db.error().contains(folder.file(QStringLiteral("starcharts.mdb"))));
}

void tst_store::databaseInUseIsToldWithinASecond()
{
    AppFolder folder;
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    const QByteArray before = folder.read(QStringLiteral("starcharts.mdb"));
    {
        // Another program holds the file for itself.
        Database other(folder.path());
        QVERIFY(other.open());
        QSqlQuery exclusive(other.handle());
        QVERIFY(exclusive.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        for (const bool writing : {false, true}) {
            Database db(folder.path());
            QElapsedTimer waited;
            waited.start();
            QVERIFY(writing ? !db.begin(std::chrono::milliseconds(1000)) : !db.open());
            QVERIFY2(waited.elapsed() < 1500, qPrintable(QString::number(waited.elapsed())));
            QVERIFY2(db.error().contains(QStringLiteral("in use by another program")), qPrintable(db.error()));
            QVERIFY2(db.error().contains(QStringLiteral("Try again")), qPrintable(db.error()));
            QVERIFY(!db.error().contains(QStringLiteral("move it aside")));
        }
        QVERIFY(exclusive.exec(QStringLiteral("ROLLBACK")));
    }
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), before);
    Database db(folder.path());
    QVERIFY2(db.open(), qPrintable(db.error()));
}

void tst_store::lookupIndexesServeTheSummaryAndLists()
{
    AppFolder folder;
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    QCOMPARE(lookups(folder.path()), Lookups::Present);
    Database db(folder.path());
    QVERIFY(db.open());
    const auto plan = [&db](const QString &sql) {
        QSqlQuery query(db.handle());
        query.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        QStringList steps;
        while (query.next())
            steps.append(query.value(3).toString());
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
    QCOMPARE(lookups(folder.path()), Lookups::Missing);
    QString error;
    QVERIFY2(addLookups(folder.path(), &error), qPrintable(error));
    QCOMPARE(lookups(folder.path()), Lookups::Present);
    Database db(folder.path());
    QCOMPARE(db.count(QStringLiteral("cumobs")), 1);
    QSqlQuery query(db.handle());
    QVERIFY(query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name")));
    QStringList indexes;
    while (query.next())
        indexes.append(query.value(0).toString());
    QCOMPARE(indexes,
             (QStringList{QStringLiteral("cumobs_obsdate"), QStringLiteral("cumobs_star_obsdate"),
                          QStringLiteral("starname")}));

    // Once is enough: the file stays as it is from now on.
    const QByteArray indexed = folder.read(QStringLiteral("starcharts.mdb"));
    QCOMPARE(lookups(folder.path()), Lookups::Present);
    QVERIFY(addLookups(folder.path(), &error));
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), indexed);

    // One index of the two missing: the other is added.
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")), {QStringLiteral("DROP INDEX cumobs_obsdate")}));
    QCOMPARE(lookups(folder.path()), Lookups::Missing);
    QVERIFY(addLookups(folder.path(), &error));
    QCOMPARE(lookups(folder.path()), Lookups::Present);
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
    QCOMPARE(lookups(folder.path()), Lookups::Foreign);
    QString error;
    QVERIFY(!addLookups(folder.path(), &error));
    QVERIFY(!error.isEmpty());
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
    QString error;
    QVERIFY(createDefault(folder.path(), &error));
    Database db(folder.path());
    QVERIFY(db.open());
    Appender appender(db.handle(), cumobs(),
                      {QStringLiteral("star"), QStringLiteral("obsdate"), QStringLiteral("magnitude"),
                       QStringLiteral("obscode"), QStringLiteral("notes"), QStringLiteral("estimate"),
                       QStringLiteral("chart")});
    QVERIFY2(appender.isValid(), qPrintable(appender.error()));
    QVERIFY(appender.append({u"o'hare", u"2458124.3958", u"11.2", u"na", u"It's; DROP TABLE cumobs", u"<110", u"X"}));
    QVERIFY(!appender.append({u"ss cyg", u"2458124.3958", u"11.2", u"na", QStringView(), u"110 115", u"X"}));
    QCOMPARE(appender.error(),
             QStringLiteral("The value for \"notes\" must not be empty and may hold at most 100 "
                            "characters."));
    QVERIFY(!appender.append({u"ss cyg", u"2458124.3958", u"11.2", u"na", u"na", u"110 115", QString(31, u'c')}));
    QVERIFY(!appender.append({u"too", u"few"}));
    QCOMPARE(db.count(QStringLiteral("cumobs")), 1);
    QCOMPARE(db.first(QStringLiteral("cumobs"), std::nullopt)->value(QStringLiteral("notes")).toString(),
             QStringLiteral("It's; DROP TABLE cumobs"));

    Appender unknown(db.handle(), cumobs(), {QStringLiteral("star"), QStringLiteral("comment")});
    QVERIFY(!unknown.isValid());
    QCOMPARE(unknown.error(), QStringLiteral("Unknown column \"comment\" in table \"cumobs\"."));
}

QTEST_APPLESS_MAIN(tst_store)
#include "tst_store.moc"
