// SPDX-License-Identifier: GPL-2.0-or-later
// varlume --restore as the observer runs it: what it refuses leaves the
// database as it was, and a kill at any moment leaves a usable one.
#include "store/copies.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testkit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

class tst_restorecommand final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedCopyLeavesTheDatabase_data();
    void refusedCopyLeavesTheDatabase();
    void refusedWhileAnotherVarlumeRuns();
    void killedAtAnyMomentLeavesAUsableDatabase();
};

namespace
{
// The first two rows fillObservations() makes, as their report holds them.
const QByteArray reportLines = "ss cyg|2458124.0001|11.2|na|110|115|1896|na\r\n"
                               "ss cyg|2458124.0002|11.2|na|110|115|1896|na\r\n";

// The program in the folder, with a database of rows and the day's report
// whose first two lines it holds.
void prepare(const AppFolder &folder, int rows)
{
    folder.prepare();
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), folder.file(QStringLiteral("varlume"))));
    QVERIFY(fillObservations(folder.path(), rows, QStringLiteral("live")));
    folder.write(QStringLiteral("obs/2018-Jan-05.txt"), observerHeader + reportLines);
}

QProcess *run(const AppFolder &folder, const QStringList &arguments)
{
    auto *program = new QProcess;
    program->start(folder.file(QStringLiteral("varlume")), arguments);
    return program;
}

// The exit status, with what it printed on the standard error.
std::pair<int, QString> finished(const AppFolder &folder, const QStringList &arguments)
{
    const std::unique_ptr<QProcess> program(run(folder, arguments));
    program->waitForFinished(60000);
    return {program->exitStatus() == QProcess::NormalExit ? program->exitCode() : -1,
            QString::fromUtf8(program->readAllStandardError())};
}

qint64 rows(const QString &path)
{
    store::Database db(appfiles::Folder(QFileInfo(path).path()));
    return store::countObservations(db).valueOr(-1);
}
}

void tst_restorecommand::refusedCopyLeavesTheDatabase_data()
{
    QTest::addColumn<QString>("told");
    QTest::newRow("foreign") << "is not a database of varlume";
    QTest::newRow("damaged") << "is damaged";
    QTest::newRow("shorter") << "lacks 2 observation(s)";
}

void tst_restorecommand::refusedCopyLeavesTheDatabase()
{
    const QString copy = QString::fromLatin1(QTest::currentDataTag());
    QFETCH(QString, told);
    AppFolder folder;
    prepare(folder, 3000);
    AppFolder other;
    other.prepare();
    const QString file = other.file(QStringLiteral("starcharts.mdb"));
    if (copy == u"foreign") {
        QVERIFY(runSql(file, {QStringLiteral("CREATE TABLE mine (a)")}));
    } else if (copy == u"damaged") {
        QVERIFY(QFile::remove(file) && QFile::copy(folder.file(QStringLiteral("starcharts.mdb")), file));
        QFile pages(file);
        QVERIFY(pages.open(QIODevice::ReadWrite) && pages.seek(4096 * 8));
        pages.write(QByteArray(4096 * 2, '\x5a'));
    }
    const QByteArray database = folder.read(QStringLiteral("starcharts.mdb"));
    const auto [status, err] = finished(folder, {QStringLiteral("--restore"), file});
    QVERIFY2(status == 2 && err.contains(told), qPrintable(err));
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), database);
    if (copy != u"shorter")
        return;
    // Forced, after a backup of what it replaces.
    QCOMPARE(finished(folder, {QStringLiteral("--restore"), file, QStringLiteral("--force")}).first, 0);
    QCOMPARE(rows(folder.file(QStringLiteral("starcharts.mdb"))), 0);
    const QStringList kept = QDir(folder.file(QStringLiteral("backups"))).entryList({QStringLiteral("*-restore")});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(rows(folder.file(QStringLiteral("backups/%1/starcharts.mdb").arg(kept.constFirst()))), 3000);
}

void tst_restorecommand::refusedWhileAnotherVarlumeRuns()
{
    AppFolder folder;
    prepare(folder, 10);
    AppFolder other;
    other.prepare();
    QVERIFY(QDir(folder.file(QStringLiteral("starcharts"))).removeRecursively());
    const std::unique_ptr<QProcess> windows(run(folder, {}));
    // Its start has made what was missing: it holds the folder.
    QTRY_VERIFY_WITH_TIMEOUT(folder.exists(QStringLiteral("starcharts")), 20000);
    const QStringList restore{QStringLiteral("--restore"), other.file(QStringLiteral("starcharts.mdb")),
                              QStringLiteral("--force")};
    const auto [status, err] = finished(folder, restore);
    QVERIFY2(status == 2 && err.contains(QStringLiteral("Another varlume is running")), qPrintable(err));
    QCOMPARE(rows(folder.file(QStringLiteral("starcharts.mdb"))), 10);
    windows->kill();
    windows->waitForFinished();
    QCOMPARE(finished(folder, restore).first, 0);
}

void tst_restorecommand::killedAtAnyMomentLeavesAUsableDatabase()
{
    AppFolder folder;
    prepare(folder, 20000);
    AppFolder other;
    other.prepare();
    QVERIFY(fillObservations(other.path(), 30000, QStringLiteral("copy")));
    const QString live = folder.file(QStringLiteral("starcharts.mdb"));
    const QByteArray old = folder.read(QStringLiteral("starcharts.mdb"));
    QRandomGenerator random(20261208);
    for (int kill = 0; kill < 12; ++kill) {
        const std::unique_ptr<QProcess> restore(run(
            folder,
            {QStringLiteral("--restore"), other.file(QStringLiteral("starcharts.mdb")), QStringLiteral("--force")}));
        // Once the database is backed up, on to a random moment of its writing.
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += restore->readAllStandardError()).contains("Made the backup"), 60000);
        const qint64 spin = random.bounded(0, 40) * 1'000'000;
        QElapsedTimer timer;
        timer.start();
        while (timer.nsecsElapsed() < spin) { }
        restore->kill();
        restore->waitForFinished();
        // The next handle plays a journal left behind back.
        const qint64 now = rows(live);
        QVERIFY2(now == 20000 || now == 30000, qPrintable(QString::number(now)));
        QVERIFY(store::checkIntegrity(live));
        if (now == 30000)
            folder.write(QStringLiteral("starcharts.mdb"), old);
    }
}

QTEST_GUILESS_MAIN(tst_restorecommand)
#include "tst_restorecommand.moc"
