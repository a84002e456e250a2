// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"
#include "app/startup.h"
#include "backup/backups.h"
#include "screenkit/navigation.h"
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/lookupindexes.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/problemtext.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

class tst_startup final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void firstStartCreatesEverything();
    void secondStartChangesNothing();
    void foreignDatabaseLeftAlone_data();
    void foreignDatabaseLeftAlone();
    void missingReportFolderIsRecreatedAlone();
    void earlierDatabaseIndexedOnce();
    void foreignStructureNeverIndexed();
    void readOnlyFolderIsReportedNotFatal();
    void databaseLinkToNothing();
    void screensExistOnce();
    void buttonsOpenTheirScreens();
    void helpAsksForTheContents();
    void helpWithoutFileChangesNothing();
    void closingStartScreenKeepsOtherWindows();
    void realProgramInEmptyFolder();
    void panelTellsTheLastBackup();

private:
    QWidget *start(const AppFolder &folder);

    std::unique_ptr<app::ScreenRegistry> m_screens;
    static QString panel(QWidget *screen, const char *name);
};

QWidget *tst_startup::start(const AppFolder &folder)
{
    m_screens = std::make_unique<app::ScreenRegistry>(folder.programFolder());
    QWidget *screen = screenkit::show(screenkit::Screen::Startup);
    return screen && QTest::qWaitForWindowExposed(screen) ? screen : nullptr;
}

QString tst_startup::panel(QWidget *screen, const char *name)
{
    return screen->findChild<QLabel *>(QLatin1String(name))->text();
}

void tst_startup::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    QTRY_VERIFY(screenkit::find(screenkit::Screen::Startup) == nullptr);
    closeHelp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_screens.reset();
}

void tst_startup::firstStartCreatesEverything()
{
    AppFolder folder;
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(screen);
    QCOMPARE(screen->windowTitle(), QStringLiteral("Start-Point for Skyfold"));
    QCOMPARE(panel(screen, "panel1"), QStringLiteral("Creating default database..."));
    QCOMPARE(panel(screen, "panel2"), QStringLiteral(" Default Database created"));

    QWidget *editor = screenkit::find(screenkit::Screen::HeaderEditor);
    QVERIFY(editor && editor->isVisible());
    // The header comes first: its editor is in front, with the focus.
    QVERIFY(QTest::qWaitForWindowActive(editor));
    QCOMPARE(QApplication::focusWidget(), editor->findChild<QWidget *>(QStringLiteral("RichTextBox1")));
    QCOMPARE(folder.entries(),
             (QStringList{QStringLiteral("obs"), QStringLiteral("starcharts"), QStringLiteral("starcharts.mdb")}));
    store::Database db(folder.programFolder());
    const auto seeded = store::hasChart(db, QStringLiteral("ss cyg"));
    QVERIFY2(seeded && *seeded, qPrintable(problemText(seeded)));
    QVERIFY(messages.messages().isEmpty());
}

void tst_startup::secondStartChangesNothing()
{
    AppFolder folder;
    {
        MessageRecorder messages;
        start(folder);
    }
    cleanup();
    folder.write(QStringLiteral("header.txt"), "#TYPE=Visual\r\n");
    const QByteArray database = folder.read(QStringLiteral("starcharts.mdb"));
    const QStringList before = folder.entries();

    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(panel(screen, "panel1").isEmpty());
    QVERIFY(panel(screen, "panel2").isEmpty());
    QVERIFY(!screenkit::find(screenkit::Screen::HeaderEditor));
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), database);
    QCOMPARE(folder.entries(), before);
    QVERIFY(messages.messages().isEmpty());
}

void tst_startup::foreignDatabaseLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("random bytes") << QByteArray("\x13\x37\x00\xfe not a database", 20).repeated(100);
}

void tst_startup::foreignDatabaseLeftAlone()
{
    QFETCH(QByteArray, content);
    AppFolder folder;
    folder.write(QStringLiteral("starcharts.mdb"), content);
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(screen);
    QVERIFY(panel(screen, "panel1").isEmpty());
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), content);
    QVERIFY(folder.exists(QStringLiteral("obs")));
    QVERIFY(folder.exists(QStringLiteral("starcharts")));
}

void tst_startup::missingReportFolderIsRecreatedAlone()
{
    AppFolder folder;
    {
        MessageRecorder messages;
        start(folder);
    }
    cleanup();
    folder.write(QStringLiteral("header.txt"), "h\r\n");
    QVERIFY(QDir(folder.file(QStringLiteral("obs"))).removeRecursively());
    const QByteArray database = folder.read(QStringLiteral("starcharts.mdb"));

    MessageRecorder messages;
    start(folder);
    QCOMPARE(folder.entries(),
             (QStringList{QStringLiteral("header.txt"), QStringLiteral("obs"), QStringLiteral("starcharts"),
                          QStringLiteral("starcharts.mdb")}));
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), database);
}

void tst_startup::earlierDatabaseIndexedOnce()
{
    AppFolder folder;
    folder.write(QStringLiteral("header.txt"), "h\r\n");
    QVERIFY(store::createDefault(folder.programFolder()));
    const QString path = folder.file(QStringLiteral("starcharts.mdb"));
    const QStringList dropped{QStringLiteral("DROP INDEX cumobs_star_obsdate"),
                              QStringLiteral("DROP INDEX cumobs_obsdate")};
    QVERIFY(runSql(path, dropped));

    // Told in the status bar before the work holds the screen.
    QStringList told;
    const app::startup::Hooks hooks{
        {}, [&](int panel, const QString &text) {
            told.append(
                QStringLiteral("%1:%2:%3").arg(panel).arg(text).arg(int(store::lookups(folder.programFolder()))));
        }};
    app::startup::indexObservations(folder.programFolder(), hooks);
    QCOMPARE(told,
             (QStringList{QStringLiteral("1:Indexing observations...:%1").arg(int(store::Lookups::Missing)),
                          QStringLiteral("2: Observations indexed:%1").arg(int(store::Lookups::Present))}));

    // By the start screen, once it shows.
    QVERIFY(runSql(path, dropped));
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(screen);
    QTRY_COMPARE(panel(screen, "panel2"), QStringLiteral(" Observations indexed"));
    QCOMPARE(panel(screen, "panel1"), QStringLiteral("Indexing observations..."));
    QCOMPARE(store::lookups(folder.programFolder()), store::Lookups::Present);
    QVERIFY(messages.messages().isEmpty());

    cleanup();
    const QByteArray indexed = folder.read(QStringLiteral("starcharts.mdb"));
    screen = start(folder);
    QCoreApplication::processEvents();
    QVERIFY(panel(screen, "panel1").isEmpty());
    QVERIFY(panel(screen, "panel2").isEmpty());
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), indexed);
}

void tst_startup::foreignStructureNeverIndexed()
{
    AppFolder folder;
    folder.write(QStringLiteral("header.txt"), "h\r\n");
    // Another program's tables of the same names: notes of another length.
    QVERIFY(runSql(folder.file(QStringLiteral("starcharts.mdb")),
                   {QStringLiteral("CREATE TABLE Charts (starname TEXT, chart TEXT, nightly TEXT, picturefile TEXT, "
                                   "finderchart TEXT, constell TEXT)"),
                    QStringLiteral("CREATE TABLE cumobs (star TEXT, magnitude TEXT, estimate TEXT, obsdate TEXT, "
                                   "obscode TEXT, notes TEXT(50), chart TEXT)")}));
    const QByteArray foreign = folder.read(QStringLiteral("starcharts.mdb"));
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(screen);
    QCoreApplication::processEvents();
    QVERIFY(panel(screen, "panel1").isEmpty());
    QCOMPARE(folder.read(QStringLiteral("starcharts.mdb")), foreign);
}

void tst_startup::readOnlyFolderIsReportedNotFatal()
{
    AppFolder folder;
    ReadOnlyGuard readOnly(folder.path());
    if (!readOnly.ok())
        QSKIP("this file system cannot make a folder read-only");
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(screen && screen->isVisible());
    QCOMPARE(messages.messages().size(), 1);
    const QString text = messages.messages().constFirst().text;
    // Every path that failed is named, with the reason.
    QVERIFY2(text.contains(folder.file(QStringLiteral("starcharts.mdb"))), qPrintable(text));
    QVERIFY2(text.contains(folder.file(QStringLiteral("obs"))), qPrintable(text));
    QVERIFY2(text.contains(folder.file(QStringLiteral("starcharts"))), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("not permitted"), Qt::CaseInsensitive)
                 || text.contains(QStringLiteral("denied"), Qt::CaseInsensitive),
             qPrintable(text));
    QVERIFY(folder.entries().isEmpty());
    QVERIFY(panel(screen, "panel2").isEmpty());
}

void tst_startup::databaseLinkToNothing()
{
    // The database on a disk that is not there now.
    AppFolder folder;
    const QString target = folder.file(QStringLiteral("unplugged/starcharts.mdb"));
    QVERIFY(QFile::link(target, folder.file(QStringLiteral("starcharts.mdb"))));
    MessageRecorder messages;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^shown: Cannot prepare.*is a link to")));
    QVERIFY(start(folder));
    // Named as a link, without advice to make the folder writable, and nothing written.
    const QString text = messages.texts().value(0);
    QVERIFY2(messages.texts().size() == 1 && !text.contains(u"writable")
                 && text.contains(QStringLiteral("is a link to \"%1\", which does not exist").arg(target)),
             qPrintable(messages.dump()));
    QVERIFY(folder.entries().isEmpty());
    store::Database db(folder.programFolder());
    const outcome::Done opened = db.open();
    QVERIFY2(!opened && opened.problem().message.contains(u"is a link to"), qPrintable(problemText(opened)));
}

void tst_startup::screensExistOnce()
{
    AppFolder folder;
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QWidget *editor = screenkit::find(screenkit::Screen::HeaderEditor);
    QVERIFY(editor);
    QCOMPARE(screenkit::show(screenkit::Screen::HeaderEditor), editor);
    QCOMPARE(screenkit::show(screenkit::Screen::Startup), screen);
    const auto windows = QApplication::topLevelWidgets().size();
    screenkit::show(screenkit::Screen::HeaderEditor);
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);

    // A closed screen is made afresh.
    editor->close();
    QTRY_VERIFY(!screenkit::find(screenkit::Screen::HeaderEditor));
    QWidget *again = screenkit::show(screenkit::Screen::HeaderEditor);
    QVERIFY(again && again->isVisible());
}

void tst_startup::buttonsOpenTheirScreens()
{
    AppFolder folder;
    folder.write(QStringLiteral("header.txt"), "h\r\n");
    folder.writeSite();
    MessageRecorder messages;
    QWidget *screen = start(folder);
    const QList<std::pair<const char *, screenkit::Screen>> buttons{
        {"cmdDbase", screenkit::Screen::Catalogue},
        {"cmdDownload", screenkit::Screen::Import},
        {"cmdCheckreport", screenkit::Screen::ReportCheck},
        {"cmdTonight", screenkit::Screen::Tonight},
    };
    for (const auto &[name, opened] : buttons) {
        QTest::mouseClick(screen->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
        QWidget *shown = screenkit::find(opened);
        QVERIFY2(shown && shown->isVisible(), name);
    }
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.dump()));
}

void tst_startup::helpAsksForTheContents()
{
    AppFolder folder;
    folder.write(QStringLiteral("header.txt"), "h\r\n");
    QVERIFY(QFile::copy(QStringLiteral(HELP_FILE), folder.file(QStringLiteral("quillon.html"))));
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QVERIFY(QTest::qWaitForWindowActive(screen));
    // By its access key, as the observer would.
    QTest::keyClick(screen, Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(shownHelpTopic(), QStringLiteral("contents"));
}

void tst_startup::helpWithoutFileChangesNothing()
{
    AppFolder folder;
    folder.write(QStringLiteral("header.txt"), "h\r\n");
    MessageRecorder messages;
    QWidget *screen = start(folder);
    const QStringList entries = folder.entries();
    const auto windows = QApplication::topLevelWidgets().size();
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(shownHelpTopic().isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QCOMPARE(folder.entries(), entries);
    QVERIFY(messages.messages().isEmpty());
}

void tst_startup::closingStartScreenKeepsOtherWindows()
{
    AppFolder folder;
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QPointer<QWidget> editor = screenkit::find(screenkit::Screen::HeaderEditor);
    QVERIFY(editor);

    // The program's own event loop decides when it ends.
    bool runningAfterStartClosed = false;
    bool endedByWatchdog = false;
    QTimer::singleShot(0, screen, [&] {
        screen->close();
        QTimer::singleShot(50, qApp, [&] {
            runningAfterStartClosed = true;
            editor->close();
        });
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [&] {
        endedByWatchdog = true;
        QCoreApplication::quit();
    });
    watchdog.start(10000);
    QApplication::exec();
    QVERIFY(runningAfterStartClosed);
    QVERIFY(!endedByWatchdog);
}

void tst_startup::realProgramInEmptyFolder()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("sqlite3 is not installed");
    AppFolder folder;
    const QString exe = folder.file(QStringLiteral("varlume"));
    QVERIFY(QFile::copy(QStringLiteral(VARLUME_EXE), exe));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(exe, {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(folder.exists(QStringLiteral("obs")), 20000);
    program.kill();
    program.waitForFinished();

    QCOMPARE(folder.entries(),
             (QStringList{QStringLiteral("obs"), QStringLiteral("starcharts"), QStringLiteral("starcharts.mdb"),
                          QStringLiteral("varlume")}));
    auto sql = [&](const QString &statement) {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {folder.file(QStringLiteral("starcharts.mdb")), statement});
        sqlite.waitForFinished();
        return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
    };
    QCOMPARE(sql(QStringLiteral("select * from charts")),
             QStringLiteral("ss cyg|1896|yes|ss cyg.gif|ss cyg-finder.gif|cyg"));
    QCOMPARE(sql(QStringLiteral("select count(*) from cumobs")), QStringLiteral("0"));
    QCOMPARE(sql(QStringLiteral("select name from sqlite_master where type='index' and tbl_name='Charts'")),
             QStringLiteral("starname"));
}

void tst_startup::panelTellsTheLastBackup()
{
    AppFolder folder;
    folder.prepare();
    MessageRecorder messages;
    QWidget *screen = start(folder);
    QCOMPARE(panel(screen, "panel3"), QStringLiteral("No backup yet"));
    const auto made = backup::makeCopy(folder.programFolder(), backup::Reason::Asked);
    QVERIFY(made);
    // Read again when the observer comes back from another window.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    screen->activateWindow();
    const QString name = QDir(*made).dirName();
    QTRY_COMPARE(panel(screen, "panel3"),
                 QStringLiteral("Last backup: %1 %2:%3").arg(name.left(10), name.mid(11, 2), name.mid(13, 2)));
}

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
