// SPDX-License-Identifier: GPL-2.0-or-later
#include "backup/backups.h"
#include "store/copies.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/support/appfolder.h"
#include "tests/support/observations.h"
#include "tests/support/sqlfile.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

class tst_backups final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copyOpensWithItsFilesOncePerDay();
    void recordingGoesOnWhileItsCopyIsChecked();
    void rotationKeepsSevenDailyAndFiveOthers();
    void failureLeavesNothingBehind_data();
    void failureLeavesNothingBehind();
};

namespace
{
void fill(const AppFolder &folder)
{
    folder.prepare();
    folder.writeSite();
    QVERIFY(fillObservations(folder.path(), 3000, QStringLiteral("a night's notes")));
}

QStringList copyNames(const AppFolder &folder)
{
    return QDir(folder.file(QStringLiteral("backups")))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}
}

void tst_backups::copyOpensWithItsFilesOncePerDay()
{
    AppFolder folder;
    fill(folder);
    QVERIFY(backup::beforeChange(folder.programFolder(), backup::Reason::FirstChangeOfDay));
    // The day has its copy: the next changes make none.
    QVERIFY(backup::beforeChange(folder.programFolder(), backup::Reason::FirstChangeOfDay));
    QCOMPARE(copyNames(folder).size(), 1);
    const QString copy = QStringLiteral("backups/") + copyNames(folder).constFirst();
    store::Database db(appfiles::Folder(folder.file(copy)));
    QCOMPARE(store::countObservations(db).valueOr(-1), 3000);
    QVERIFY(store::checkIntegrity(folder.file(copy + QStringLiteral("/starcharts.mdb"))));
    QCOMPARE(folder.read(copy + QStringLiteral("/header.txt")), folder.read(QStringLiteral("header.txt")));
    QCOMPARE(folder.read(copy + QStringLiteral("/site.ini")), folder.read(QStringLiteral("site.ini")));
    // An import is backed up each time.
    QVERIFY(backup::beforeChange(folder.programFolder(), backup::Reason::Import));
    QCOMPARE(copyNames(folder).size(), 2);
}

void tst_backups::recordingGoesOnWhileItsCopyIsChecked()
{
    AppFolder folder;
    fill(folder);
    backup::beforeRecording(folder.programFolder());
    // The recording that follows at once is not in the copy taken before it.
    QVERIFY(insertObservations(folder.path(), {{"ss cyg", "11.5", "na", "2458124.4", "na", "na", "1896"}}));
    backup::beforeRecording(folder.programFolder());
    backup::waitForChecks();
    QCOMPARE(copyNames(folder).size(), 1);
    const QString copy = QStringLiteral("backups/") + copyNames(folder).constFirst();
    QVERIFY(copy.endsWith(u"-daily"));
    store::Database db(appfiles::Folder(folder.file(copy)));
    QCOMPARE(store::countObservations(db).valueOr(-1), 3000);
    QCOMPARE(folder.read(copy + QStringLiteral("/site.ini")), folder.read(QStringLiteral("site.ini")));

    // A copy that cannot be made is told on the start screen only.
    AppFolder refused;
    fill(refused);
    QVERIFY(QDir(refused.path()).mkdir(QStringLiteral("backups")));
    const ReadOnlyGuard readOnly(refused.file(QStringLiteral("backups")));
    if (!readOnly.ok())
        QSKIP("this file system cannot make a folder read-only");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be made")));
    backup::beforeRecording(refused.programFolder());
    backup::waitForChecks();
    QVERIFY(copyNames(refused).isEmpty());
    QVERIFY(backup::lastBackupText(refused.programFolder()).startsWith(u"Backup failed at"));
}

void tst_backups::rotationKeepsSevenDailyAndFiveOthers()
{
    AppFolder folder;
    fill(folder);
    QStringList made;
    for (int day = 1; day <= 9; ++day)
        made << QStringLiteral("2020-01-%1-210000-daily").arg(day, 2, 10, QLatin1Char('0'));
    for (const char *other : {"import", "undo", "restore", "import-2", "undo", "restore"})
        made << QStringLiteral("2020-02-0%1-210000-%2").arg(made.size() - 8).arg(QLatin1String(other));
    for (const QString &name : made)
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("backups/") + name));
    // Not a copy: never removed.
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("backups/mine")));

    const auto daily = backup::makeCopy(folder.programFolder(), backup::Reason::Asked);
    const auto undo = backup::makeCopy(folder.programFolder(), backup::Reason::Undo);
    QVERIFY(daily && undo);
    QStringList kept = made.mid(3, 6) + made.mid(11, 4)
        + QStringList{QDir(*daily).dirName(), QDir(*undo).dirName(), QStringLiteral("mine")};
    kept.sort();
    QCOMPARE(copyNames(folder), kept);
}

void tst_backups::failureLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("told");
    QTest::newRow("full disk") << "size"
                               << "too large";
    QTest::newRow("read-only backups") << "readonly"
                                       << "";
    QTest::newRow("locked database") << "locked"
                                     << "another program holds the database";
}

void tst_backups::failureLeavesNothingBehind()
{
    QFETCH(QString, cause);
    QFETCH(QString, told);
    AppFolder folder;
    fill(folder);
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("backups")));
    const QByteArray database = folder.read(QStringLiteral("starcharts.mdb"));
    std::unique_ptr<ReadOnlyGuard> readOnly;
    std::unique_ptr<SqlFile> holder;
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    if (cause == u"size") {
        // The copy outgrows what the system lets the program write.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = static_cast<rlim_t>(database.size() / 2);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    } else if (cause == u"readonly") {
        readOnly = std::make_unique<ReadOnlyGuard>(folder.file(QStringLiteral("backups")));
        if (!readOnly->ok())
            QSKIP("this file system cannot make a folder read-only");
    } else {
        holder = std::make_unique<SqlFile>(folder.path());
        QVERIFY(holder->exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be made")));
    const outcome::Done made = backup::beforeChange(folder.programFolder(), backup::Reason::FirstChangeOfDay);
    setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY2(!made && made.problem().message.contains(told, Qt::CaseInsensitive), qPrintable(made.problem().message));
    QVERIFY(copyNames(folder).isEmpty());
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), database);
    // Told once a day, and on the start screen.
    QVERIFY(backup::beforeChange(folder.programFolder(), backup::Reason::FirstChangeOfDay));
    QVERIFY(backup::lastBackupText(folder.programFolder()).startsWith(u"Backup failed at"));
}

QTEST_APPLESS_MAIN(tst_backups)
#include "tst_backups.moc"
