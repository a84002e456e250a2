// SPDX-License-Identifier: GPL-2.0-or-later
// The command line, as a script runs it: no display, no window, and nothing
// in the program's folder touched.
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/positions.h"
#include "tests/support/appfolder.h"
#include "tests/support/testkit.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <cstdio>

class tst_checkcommand final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitStatusAndFindings_data();
    void exitStatusAndFindings();
    void optionsOpenNothing_data();
    void optionsOpenNothing();
    void positionsAddedUpdatedRefused();
    void positionsNothingReadable_data();
    void positionsNothingReadable();
    void tonightPlan();
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

struct Ran
{
    int status = -1;
    QString out;
    QString err;
};

// The program, copied into the folder, run there with the arguments.
Ran run(const AppFolder &folder, const QStringList &arguments)
{
    QProcess program;
    prepare(program, folder);
    program.start(folder.file(QStringLiteral("varlume")), arguments);
    if (!program.waitForFinished(20000) || program.exitStatus() != QProcess::NormalExit)
        return {};
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

void addStar(const AppFolder &folder, const QString &name)
{
    store::Database db(folder.path());
    QVERIFY(store::addChart(db,
                            {name, QStringLiteral("1896"), QStringLiteral("no"), QStringLiteral("na"),
                             QStringLiteral("na"), QStringLiteral("CYG")}));
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

void tst_checkcommand::optionsOpenNothing_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("status");
    // On the standard output when all went well, else on the standard error.
    QTest::addColumn<QByteArray>("printed");
    QTest::newRow("help") << "--help" << 0 << QByteArray("--version");
    QTest::newRow("version") << "--version" << 0 << QByteArray("varlume 1.0\n");
    QTest::newRow("unknown") << "--bogus" << 2 << QByteArray("'bogus'");
    QTest::newRow("no file") << "--check" << 2 << QByteArray("usage: varlume --check FILE...\n");
    QTest::newRow("no option") << "upload.txt" << 2 << QByteArray("\"upload.txt\"");
    QTest::newRow("positions, no file") << "--positions nothere.csv" << 2 << QByteArray("nothere.csv: ");
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

void tst_checkcommand::positionsAddedUpdatedRefused()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.path()));
    addStar(folder, QStringLiteral("V0404 CYG"));
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    folder.write(QStringLiteral("programme.csv"),
                 "name,ra,dec,type\n"
                 "V404 Cyg,20 24 03.8,+33 52 02,XN\n"
                 "Nobody Cyg,20 00 00,+30 00 00,M\n"
                 "SS Cyg,xx,+30,UGSS\n");
    const QStringList read{QStringLiteral("--positions"), QStringLiteral("programme.csv")};
    const Ran first = run(folder, read);
    QVERIFY2(first.status == 0, qPrintable(first.err));
    QVERIFY2(first.out.startsWith(QStringLiteral("programme.csv: 1 added, 0 updated, 1 refused\n"
                                                 "Not in the catalogue, not stored (1): Nobody Cyg\n"
                                                 "line 4, column 2 (ra): ")),
             qPrintable(first.out));
    const Ran second = run(folder, read);
    QVERIFY2(second.out.startsWith(QStringLiteral("programme.csv: 0 added, 1 updated, 1 refused\n")),
             qPrintable(second.out + second.err));
}

void tst_checkcommand::positionsNothingReadable_data()
{
    QTest::addColumn<bool>("database");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("printed");
    const QByteArray good = "star\tra\tdec\nSS Cyg\t325.68\t43.59\n";
    QTest::newRow("empty") << true << QByteArray() << "programme.csv: The file is empty";
    QTest::newRow("no position") << true << QByteArray("star;mag\nSS Cyg;12\n") << "lacks a column";
    // Never created for a file of positions.
    QTest::newRow("no database") << false << good << "Nothing was stored: The database file";
}

void tst_checkcommand::positionsNothingReadable()
{
    QFETCH(bool, database);
    QFETCH(QByteArray, file);
    QFETCH(QString, printed);
    AppFolder folder;
    QVERIFY(!database || store::createDefault(folder.path()));
    folder.write(QStringLiteral("programme.csv"), file);
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    const QStringList before = folder.entries();
    const Ran ran = run(folder, {QStringLiteral("--positions"), QStringLiteral("programme.csv")});
    QVERIFY2(ran.status == 2 && ran.out.isEmpty() && ran.err.contains(printed), qPrintable(ran.out + ran.err));
    QCOMPARE(folder.entries(), before);
}

void tst_checkcommand::tonightPlan()
{
    AppFolder folder;
    QVERIFY(store::createDefault(folder.path()));
    addStar(folder, QStringLiteral("Vega"));
    {
        store::Database db(folder.path());
        store::PositionRecord vega;
        vega.star = QStringLiteral("Vega");
        vega.ra = 279.2347;
        vega.dec = 38.7837;
        QVERIFY(store::savePositions(db, {vega}));
    }
    folder.write(QStringLiteral("site.ini"), "[site]\nlatitude=52.52\nlongitude=13.40\nheight=34\n");
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    const QStringList before = folder.entries();
    const Ran ran =
        run(folder, {QStringLiteral("--tonight"), QStringLiteral("--at"), QStringLiteral("2026-12-07T21:30Z")});
    QVERIFY2(ran.status == 0, qPrintable(ran.err));
    const QStringList lines = ran.out.split(u'\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(0), QStringLiteral("# dark\t2026-12-07T16:18Z\t2026-12-08T05:39Z"));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("star\talt_now\taz_now\tbest_utc\t")));
    QVERIFY(lines.at(2).startsWith(QStringLiteral("Vega\t")));
    QCOMPARE(lines.at(3), QStringLiteral("# 1 star without a position (add them with --positions FILE): ss cyg"));
    QCOMPARE(folder.entries(), before);
}

QTEST_GUILESS_MAIN(tst_checkcommand)
#include "tst_checkcommand.moc"
