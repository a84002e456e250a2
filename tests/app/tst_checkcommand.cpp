// SPDX-License-Identifier: GPL-2.0-or-later
// The command line, as a script runs it: no display, no window, and nothing
// in the program's folder touched.
#include "store/creation.h"
#include "store/database.h"
#include "store/positions.h"
#include "tests/import/downloadfile.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>

class tst_checkcommand final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitStatusAndFindings_data();
    void exitStatusAndFindings();
    void warningsFromTheObserversHistory();
    void optionsOpenNothing_data();
    void optionsOpenNothing();
    void plannerCommands_data();
    void plannerCommands();
    void ledgerOfEveryReportReadOnly();
    void historyOfAStarNewestFirst();
};

namespace
{
// From the program's folder, without a display: a window would end the program.
void prepare(QProcess &program, const AppFolder &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder.path());
}
}

void tst_checkcommand::exitStatusAndFindings_data()
{
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");
    const QByteArray line = "ss cyg|2458124.1|11.2|na|110|115|1896|na\r\n";
    QTest::newRow("clean") << QByteArray("upload.txt") << observerHeader + line << 0
                           << "upload.txt: no findings, 1 observation\n";
    QTest::newRow("example observer code")
        << QByteArray("upload.txt") << defaultHeaderBytes + line << 1 << "upload.txt:2: warning: #OBSCODE \"KTV\": ";
    QTest::newRow("twice") << QByteArray("upload.txt") << defaultHeaderBytes + line + line << 2
                           << "upload.txt:8: error: line \"ss cyg, 2458124.1, 11.2\": ";
    // "café.txt" in Latin-1, not valid in the system's UTF-8.
    QTest::newRow("name not valid UTF-8") << QByteArray("caf\xe9.txt") << observerHeader + line << 0
                                          << QStringLiteral("caf\uFFFD.txt: no findings, 1 observation\n");
}

void tst_checkcommand::exitStatusAndFindings()
{
    QFETCH(QByteArray, fileName);
    QFETCH(QByteArray, report);
    QFETCH(int, status);
    QFETCH(QString, printed);
    AppFolder folder;
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    const QByteArray path = QFile::encodeName(folder.path()) + '/' + fileName;
    FILE *file = std::fopen(path.constData(), "wb");
    QVERIFY(file);
    // Qt cannot remove a file by a name it cannot decode.
    const auto removing = qScopeGuard([&path] { std::remove(path.constData()); });
    std::fwrite(report.constData(), 1, static_cast<size_t>(report.size()), file);
    std::fclose(file);
    const QStringList before = folder.entries();
    // The name's bytes as octal escapes, for the shell to hand over unchanged.
    QByteArray escaped;
    for (const char byte : fileName)
        escaped += QByteArray("\\0") + QByteArray::number(static_cast<uchar>(byte), 8);

    QProcess program;
    prepare(program, folder);
    program.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("exec ./varlume --check \"$(printf '%b' \"$0\")\""),
                   QString::fromLatin1(escaped)});
    QVERIFY(program.waitForFinished(20000));
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == status, qPrintable(output));
    QVERIFY2(output.contains(printed), qPrintable(output));
    QCOMPARE(folder.entries(), before);
}

// The Mira was fainter than 13.0 two days before, as the line of that night's
// report says (its row's estimate does not): an estimate of 11.5 warns, and
// the database is only read.
void tst_checkcommand::warningsFromTheObserversHistory()
{
    AppFolder folder;
    folder.prepare();
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    {
        store::Database db(folder.programFolder());
        QVERIFY(store::savePositions(db,
                                     {{QStringLiteral("R Leo"), 146.9, 11.4, QStringLiteral("M"), 310.0, false,
                                       std::nullopt, QStringLiteral("4.4 V"), QStringLiteral("11.3 V")}}));
    }
    QVERIFY(insertObservations(folder.path(), {{"R Leo", "13.0", "b(2)c", "2458122.5", "XYZ", "na", "na"}}));
    folder.write(QStringLiteral("obs/2018-Jan-03.txt"), observerHeader + "R Leo|2458122.5|<13.0|na|na|na|na|na\r\n");
    folder.write(QStringLiteral("upload.txt"), observerHeader + "R Leo|2458124.5|11.5|na|na|na|na|na\r\n");
    // Under the names of the days around it, what is no report is named, never waited for.
    QCOMPARE(::mkfifo(QFile::encodeName(folder.file(QStringLiteral("obs/2018-Jan-04.txt"))).constData(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), folder.file(QStringLiteral("obs/2018-Jan-02.txt"))));
    const QStringList before = folder.entries();
    const QByteArray database = folder.read(QStringLiteral("starcharts.mdb"));

    QProcess program;
    prepare(program, folder);
    program.start(folder.file(QStringLiteral("varlume")), {QStringLiteral("--check"), QStringLiteral("upload.txt")});
    QVERIFY(program.waitForFinished(30000));
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(program.exitCode() == 1, qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("upload.txt:7: warning: limits \"R Leo, 2458124.5, 11.5\": The estimate "
                                            "11.5 is 1.50 mag brighter than your limit <13")),
             qPrintable(output));
    for (const char *unread : {"2018-Jan-04.txt\": This day's report cannot be read (it is a named pipe, not a file)",
                               "2018-Jan-02.txt\": This day's report cannot be read (it is a device, not a file)"})
        QVERIFY2(output.contains(QLatin1String(unread)), qPrintable(output));
    QCOMPARE(folder.entries(), before);
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), database);
}

void tst_checkcommand::optionsOpenNothing_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("status");
    // On the standard output when all went well, else on the standard error.
    QTest::addColumn<QByteArray>("printed");
    QTest::newRow("help") << "--help" << 0 << QByteArray("--version");
    QTest::newRow("version") << "--version" << 0 << QByteArray("varlume 1.0\n");
    QTest::newRow("unknown") << "--bogus" << 2 << QByteArray("'bogus'");
    QTest::newRow("no file") << "--check" << 2 << QByteArray("usage: varlume --check [--ledger] [FILE...]\n");
    QTest::newRow("no option") << "upload.txt" << 2 << QByteArray("\"upload.txt\"");
    // How to set a site up: the file's group and keys.
    QTest::newRow("tonight, no site") << "--tonight" << 2 << QByteArray("[site]\nlatitude=52.52\nlongitude=");
    QTest::newRow("tonight, bad moment") << "--tonight --at 21:30" << 2 << QByteArray("YYYY-MM-DDTHH:MMZ");
    QTest::newRow("at alone") << "--at 2026-12-07T21:30Z" << 2 << QByteArray("--at goes with --tonight");
}

void tst_checkcommand::optionsOpenNothing()
{
    QFETCH(QString, option);
    QFETCH(int, status);
    QFETCH(QByteArray, printed);
    AppFolder folder;
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    QProcess program;
    prepare(program, folder);
    program.start(folder.file(QStringLiteral("varlume")), option.split(u' '));
    QVERIFY(program.waitForFinished(20000));
    const QByteArray out = program.readAllStandardOutput();
    const QByteArray err = program.readAllStandardError();
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == status
                 && (status == 0 ? out : err).contains(printed),
             QByteArray(out + err).constData());
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("varlume")});
}

void tst_checkcommand::plannerCommands_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("database");
    QTest::addColumn<QByteArray>("positions");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");
    const QByteArray file = "name,ra,dec\nSS Cyg,21 42 42.8,+43 35 10\nNobody Cyg,1,2\nRU Cyg,x,1\n";
    QTest::newRow("positions, every line")
        << "--positions p.csv" << true << QByteArray("name,ra,dec\nSS Cyg,21 42 42.8,+43 35 10\n") << 0
        << "p.csv: 1 added, 0 updated, 0 refused\n";
    QTest::newRow("positions") << "--positions p.csv" << true << file << 1
                               << "p.csv: 1 added, 0 updated, 1 refused\nNot in the catalogue, not stored (1): "
                                  "Nobody Cyg\nline 4, column 2 (ra): ";
    QTest::newRow("positions, no column") << "--positions p.csv" << true << QByteArray("star;mag\nSS Cyg;9\n") << 2
                                          << "p.csv: The header row (line 1) lacks a column";
    QTest::newRow("positions, none stored")
        << "--positions p.csv" << true << QByteArray("name,ra,dec\nRU Cyg,x,1\n") << 2 << "p.csv: nothing was stored.";
    // Never created for a file of positions.
    QTest::newRow("positions, no database")
        << "--positions p.csv" << false << file << 2 << "Nothing was stored: The database file";
    QTest::newRow("history, no database") << "--history" << false << QByteArray() << 2 << "There is no database";
    QTest::newRow("history, empty record")
        << "--history" << true << QByteArray() << 0
        << "id\twhen\tkind\tstar\treport\told line\tnew line\told row\tnew row\tstate\tundoes\n";
    QTest::newRow("tonight") << "--tonight --at 2026-12-07T22:30+01:00" << true << QByteArray() << 0
                             << "# dark\t2026-12-07T16:18Z\t2026-12-08T05:39Z\nstar\talt_now\taz_now\tbest_utc\t";
}

void tst_checkcommand::plannerCommands()
{
    QFETCH(QString, option);
    QFETCH(bool, database);
    QFETCH(QByteArray, positions);
    QFETCH(int, status);
    QFETCH(QString, printed);
    AppFolder folder;
    QVERIFY(!database || store::createDefault(folder.programFolder()));
    folder.write(QStringLiteral("p.csv"), positions);
    folder.write(QStringLiteral("site.ini"), "[site]\nlatitude=52.52\nlongitude=13.40\nheight=34\n");
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    const QStringList before = folder.entries();
    QProcess program;
    prepare(program, folder);
    program.start(folder.file(QStringLiteral("varlume")), option.split(u' '));
    QVERIFY(program.waitForFinished(20000));
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == status
                 && (status < 2 ? out : err).contains(printed),
             qPrintable(out + err));
    QCOMPARE(folder.entries(), before);
}

void tst_checkcommand::ledgerOfEveryReportReadOnly()
{
    AppFolder folder;
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("obs")));
    folder.write(QStringLiteral("obs/2018-Jan-05.txt"), observerHeader + reportOfThree);
    const auto run = [&folder]() -> QString {
        QProcess program;
        prepare(program, folder);
        program.start(folder.file(QStringLiteral("varlume")), {QStringLiteral("--check"), QStringLiteral("--ledger")});
        program.waitForFinished(20000);
        return QString::fromUtf8(program.readAllStandardOutput());
    };
    // No database: the ledger is skipped, and none is made.
    const QString skipped = run();
    QVERIFY2(skipped.contains(QStringLiteral("ledger: The ledger of what the AAVSO holds was skipped")),
             qPrintable(skipped));
    QVERIFY(!folder.exists(QStringLiteral("starcharts.mdb")));

    QVERIFY(store::createDefault(folder.programFolder()));
    QVERIFY(importDownload(folder.path(), downloadOfTwo));
    const QStringList entries = folder.entries();
    const QByteArray database = folder.read(QStringLiteral("starcharts.mdb"));
    const QString output = run();
    QVERIFY2(output.contains(
                 QStringLiteral("2018-Jan-05.txt: ledger: the AAVSO holds 2 lines; not at the AAVSO yet: 1 line\n")),
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("2018-Jan-05.txt:8: held as OMI CET: mira, 2458124.45, 3.5\n")
                             + folder.path() + QStringLiteral("/obs/2018-Jan-05.txt:9: not at the AAVSO yet: rr lyr")),
             qPrintable(output));
    QCOMPARE(folder.entries(), entries);
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), database);

    // A change cut short is named, never completed: the check writes nothing.
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")),
                   {"INSERT INTO changes VALUES (NULL, '2018-01-05T22:00:00Z', 'withdrawal', '2018-Jan-05.txt', "
                    "'rr lyr|2458124.46|9.1|na|na|na|na|na', NULL, NULL, NULL, NULL, 1, 'pending', NULL, 0)"}));
    const QByteArray pending = folder.read(QStringLiteral("starcharts.mdb"));
    QVERIFY2(run().contains(QStringLiteral("2018-Jan-05.txt: a correction or withdrawal of a line is not complete")),
             qPrintable(output));
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), pending);
    QCOMPARE(folder.read(QStringLiteral("obs/2018-Jan-05.txt")), observerHeader + reportOfThree);

    // A database with an index of the observer's own is never given one.
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")),
                   {"DROP TABLE ledger", "DROP TABLE ledger_coverage", "CREATE INDEX mine ON cumobs (star)"}));
    QVERIFY(importDownload(folder.path(), downloadOfTwo));
    const QString notKept = run();
    QVERIFY2(notKept.contains(QStringLiteral("skipped: The ledger is not kept in this database, for \"%1\" holds more")
                                  .arg(folder.file(QStringLiteral("starcharts.mdb")))),
             qPrintable(notKept));
}

void tst_checkcommand::historyOfAStarNewestFirst()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.programFolder()));
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")),
                   {"INSERT INTO changes VALUES (NULL, '2026-12-01T20:00:00Z', 'withdrawal', '', NULL, NULL, 7, "
                    "'[\"RR Lyr\",\"8.1\",\"80\",\"2458124.4\",\"na\",\"na\",\"na\"]', NULL, 1, 'done', NULL, 0)",
                    "INSERT INTO changes VALUES (NULL, '2026-12-02T20:00:00Z', 'correction', '', NULL, NULL, 8, "
                    "'[\"ss cyg\",\"11.2\",\"e\",\"2458124.5\",\"na\",\"na\",\"na\"]', "
                    "'[\"ss cyg\",\"11.4\",\"e\",\"2458124.5\",\"na\",\"na\",\"na\"]', 1, 'done', NULL, 0)",
                    "INSERT INTO changes VALUES (NULL, '2026-12-03T20:00:00Z', 'restoration', '', NULL, NULL, 9, NULL, "
                    "'[\"RR Lyr\",\"8.1\",\"80\",\"2458124.4\",\"na\",\"na\",\"na\"]', 1, 'done', 1, 0)"}));
    const auto run = [&folder](const QStringList &arguments) {
        QProcess program;
        prepare(program, folder);
        program.start(folder.file(QStringLiteral("varlume")), arguments);
        program.waitForFinished(20000);
        return QString::fromUtf8(program.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    const QStringList lyr = run({QStringLiteral("--history"), QStringLiteral("rr lyr")});
    QCOMPARE(lyr.size(), 3);
    QVERIFY2(lyr.at(1).startsWith(QStringLiteral("3\t2026-12-03T20:00:00Z\trestoration\tRR Lyr\t"))
                 && lyr.at(1).endsWith(QStringLiteral("\tdone\t1")),
             qPrintable(lyr.join(u'\n')));
    QVERIFY(lyr.at(2).startsWith(QStringLiteral("1\t")));
    QCOMPARE(run({QStringLiteral("--history")}).size(), 4);
}

QTEST_GUILESS_MAIN(tst_checkcommand)
#include "tst_checkcommand.moc"
