// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"
#include "import/modimportscreen.h"
#include "screenkit/form.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/import/downloadfile.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/observations.h"
#include "tests/support/problemtext.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

class tst_convertscreen final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensFromTheStartScreenInDownloads();
    void firstClickKeepsTheFileEachNextImportsIt();
    void badLineIsReportedByItsNumber();
    void longImportShowsProgressAndCancels();
    void closingEndsTheImportAndSaysSo();
    void closingWhileAskedAddsNothing();
    void undoFromTheList();
    void foldersAndDrivesMoveTheLists();
    void helpShowsTopic1003();
    void nightStyleWhileObserving();
    void fitsCommonScreens_data();
    void fitsCommonScreens();

private:
    screenkit::Form *open();
    template<typename T>
    T *control(const char *name) const;
    QString downloads() const;
    QStringList listedFiles() const;
    void clickFile(const QString &name);

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<AppFolder> m_folder;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<app::ScreenRegistry> m_screens;
};

namespace
{
const QString secondStep = QStringLiteral("Now click the file again to convert and send to the\r\n"
                                          "Starcharts database (This could take a while\r\n"
                                          "depending on the size of the file)");
}

void tst_convertscreen::init()
{
    // The lists start in the home folder's Downloads.
    m_home = std::make_unique<QTemporaryDir>();
    qputenv("HOME", QFile::encodeName(m_home->path()));
    QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("Downloads/2019")));
    QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("Downloads/folder.txt")));
    const auto write = [this](const QString &name, const QByteArray &bytes) {
        QFile file(QDir(downloads()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("obs.txt"), downloadBytes({generatedLine(0), generatedLine(1), generatedLine(2)}));
    write(QStringLiteral("other.txt"), downloadBytes({generatedLine(3)}));
    write(QStringLiteral("OLD.TXT"), downloadBytes({}));
    write(QStringLiteral("obs.csv"), downloadBytes({}));
    write(QStringLiteral("obs.txt.bak"), downloadBytes({}));
    write(QStringLiteral("2019/march.txt"), downloadBytes({}));

    m_folder = std::make_unique<AppFolder>();
    const outcome::Done created = store::createDefault(m_folder->programFolder());
    QVERIFY2(created, qPrintable(problemText(created)));
    m_folder->write(QStringLiteral("header.txt"), observerHeader);
    m_messages = std::make_unique<MessageRecorder>();
    m_screens = std::make_unique<app::ScreenRegistry>(m_folder->programFolder());
}

void tst_convertscreen::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    closeHelp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_screens.reset();
    m_messages.reset();
    m_folder.reset();
    m_home.reset();
}

screenkit::Form *tst_convertscreen::open()
{
    auto *screen = qobject_cast<screenkit::Form *>(screenkit::show(screenkit::Screen::Import));
    return screen && QTest::qWaitForWindowExposed(screen) ? screen : nullptr;
}

template<typename T>
T *tst_convertscreen::control(const char *name) const
{
    QWidget *screen = screenkit::find(screenkit::Screen::Import);
    return screen ? screen->findChild<T *>(QLatin1String(name)) : nullptr;
}

QString tst_convertscreen::downloads() const
{
    return QDir(m_home->path()).filePath(QStringLiteral("Downloads"));
}

QStringList tst_convertscreen::listedFiles() const
{
    const QListView *list = control<QListView>("File1");
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
        names.append(list->model()->index(row, 0, list->rootIndex()).data().toString());
    names.sort();
    return names;
}

void tst_convertscreen::clickFile(const QString &name)
{
    QListView *list = control<QListView>("File1");
    const auto *model = static_cast<const QFileSystemModel *>(list->model());
    const QModelIndex index = model->index(QDir(model->rootPath()).filePath(name));
    QTRY_VERIFY(list->visualRect(index).isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void tst_convertscreen::opensFromTheStartScreenInDownloads()
{
    QWidget *start = screenkit::show(screenkit::Screen::Startup);
    QVERIFY(QTest::qWaitForWindowExposed(start));
    QTest::mouseClick(start->findChild<QPushButton *>(QStringLiteral("cmdDownload")), Qt::LeftButton);
    QWidget *screen = screenkit::find(screenkit::Screen::Import);
    QVERIFY(screen && QTest::qWaitForWindowExposed(screen));
    QCOMPARE(screen->objectName(), QStringLiteral("frmConvert"));
    QCOMPARE(screen->windowTitle(), QStringLiteral("Find and convert Observations"));
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("Step 1: Click on your downloaded Obs file."));
    QCOMPARE(control<QLabel>("Label1")->property("tag").toString(), QStringLiteral("textfile"));
    QVERIFY(control<QLabel>("Label2")->text().isEmpty());
    QVERIFY(control<QProgressBar>("prgImport")->isHidden());

    const auto *drives = control<QComboBox>("Drive1");
    QCOMPARE(drives->itemData(0).toString(), QStringLiteral("/"));
    QCOMPARE(drives->currentData().toString(), QDir::cleanPath(m_home->path()));
    const QTreeView *folders = control<QTreeView>("Dir1");
    QCOMPARE(static_cast<const QFileSystemModel *>(folders->model())->filePath(folders->currentIndex()), downloads());
    // Only files ending in ".txt", in any letter case; no folder.
    QTRY_COMPARE(listedFiles(),
                 (QStringList{QStringLiteral("OLD.TXT"), QStringLiteral("obs.txt"), QStringLiteral("other.txt")}));
    QVERIFY(m_messages->messages().isEmpty());
}

void tst_convertscreen::firstClickKeepsTheFileEachNextImportsIt()
{
    QVERIFY(open());
    QLabel *label1 = control<QLabel>("Label1");
    clickFile(QStringLiteral("obs.txt"));
    QCOMPARE(label1->text(), secondStep);
    QCOMPARE(label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(label1->property("tag").toString(), QStringLiteral("database"));
    QVERIFY(label1->sizeHint().height() <= label1->height());
    QVERIFY(cumobsRows(m_folder->path()).isEmpty());
    QVERIFY(m_messages->messages().isEmpty());

    // Another file clicked now: the kept one is imported.
    clickFile(QStringLiteral("other.txt"));
    QTRY_COMPARE(m_messages->messages().size(), 1);
    hostkit::Message message = m_messages->messages().constFirst();
    QCOMPARE(message.text, QStringLiteral("Conversion Complete"));
    QCOMPARE(message.title, QStringLiteral("OK"));
    QCOMPARE(message.icon, QMessageBox::Information);
    QCOMPARE(control<QLabel>("Label2")->text(),
             QStringLiteral("3 records added to your Observations database. Total now 3 obs."));
    QCOMPARE(cumobsRows(m_folder->path()).size(), 3);
    QVERIFY(cumobsRows(m_folder->path()).constFirst().startsWith(QStringLiteral("V0 CYG|")));

    // Again: the same observations; only the new ones (none) by default.
    m_messages->clear();
    clickFile(QStringLiteral("other.txt"));
    QTRY_COMPARE(m_messages->messages().size(), 2);
    message = m_messages->messages().constFirst();
    QCOMPARE(message.title, QStringLiteral("Observations already added"));
    QVERIFY2(message.text.startsWith(QStringLiteral("3 of the 3 observations in this file are in your Observations "
                                                    "database already.")),
             qPrintable(message.text));
    QCOMPARE(message.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(control<QLabel>("Label2")->text(),
             QStringLiteral("0 records added to your Observations database. Total now 3 obs."));

    // All of them, when asked for.
    m_messages->clear();
    m_messages->queueAnswer(QMessageBox::No);
    clickFile(QStringLiteral("obs.txt"));
    QTRY_COMPARE(m_messages->messages().size(), 2);
    QCOMPARE(control<QLabel>("Label2")->text(),
             QStringLiteral("3 records added to your Observations database. Total now 6 obs."));
}

void tst_convertscreen::badLineIsReportedByItsNumber()
{
    QFile bad(QDir(downloads()).filePath(QStringLiteral("bad.txt")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(downloadBytes({generatedLine(0), QStringLiteral("V1 AND##2440000.0137"), generatedLine(2)}));
    bad.close();
    QVERIFY(open());
    clickFile(QStringLiteral("bad.txt"));
    clickFile(QStringLiteral("bad.txt"));
    QTRY_COMPARE(m_messages->messages().size(), 1);
    const hostkit::Message &message = m_messages->messages().constFirst();
    QCOMPARE(message.title, QStringLiteral("Import stopped"));
    QCOMPARE(message.icon, QMessageBox::Warning);
    QVERIFY2(message.text.startsWith(QStringLiteral("Line 4 of \"bad.txt\" cannot be added: it has 2 fields")),
             qPrintable(message.text));
    QCOMPARE(control<QLabel>("Label2")->text(),
             QStringLiteral("1 records added to your Observations database. Total now 1 obs."));
}

void tst_convertscreen::longImportShowsProgressAndCancels()
{
    QVERIFY(writeGeneratedFile(QDir(downloads()).filePath(QStringLiteral("big.txt")), 300000));
    screenkit::night::Hold night;
    QWidget *screen = open();
    QVERIFY(screen);
    clickFile(QStringLiteral("big.txt"));
    clickFile(QStringLiteral("big.txt"));
    QVERIFY(!control<QListView>("File1")->isEnabled());
    QPushButton *cancel = control<QPushButton>("cmdCancel");
    QTRY_VERIFY_WITH_TIMEOUT(cancel->isVisible(), 30000);
    QVERIFY(control<QProgressBar>("prgImport")->isVisible());
    QCOMPARE(lightPixels(grabNight(screen)), 0);

    // Another writer of the program goes first: it need not wait for the
    // import's open transaction.
    QProgressBar *progress = control<QProgressBar>("prgImport");
    const int value = progress->value();
    QTRY_VERIFY(progress->value() > value);
    {
        store::Database db(m_folder->programFolder());
        store::ObservationRow row;
        row.star = QStringLiteral("recorded meanwhile");
        row.obsdate = QStringLiteral("2458124.5");
        const outcome::Done added = store::addObservation(db, row);
        QVERIFY2(added, qPrintable(problemText(added)));
    }

    QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(m_messages->messages().size(), 1);
    const hostkit::Message &message = m_messages->messages().constFirst();
    QCOMPARE(message.title, QStringLiteral("Import cancelled"));
    QCOMPARE(message.icon, QMessageBox::Information);
    const qsizetype rows = cumobsRows(m_folder->path()).size();
    QVERIFY(rows < 300000);
    QCOMPARE(
        control<QLabel>("Label2")->text(),
        QStringLiteral("%1 records added to your Observations database. Total now %2 obs.").arg(rows - 1).arg(rows));
    QVERIFY(cancel->isHidden());
    QVERIFY(control<QProgressBar>("prgImport")->isHidden());
    QVERIFY(control<QListView>("File1")->isEnabled());
}

void tst_convertscreen::closingEndsTheImportAndSaysSo()
{
    QVERIFY(writeGeneratedFile(QDir(downloads()).filePath(QStringLiteral("big.txt")), 300000));
    QVERIFY(open());
    clickFile(QStringLiteral("big.txt"));
    clickFile(QStringLiteral("big.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(control<QPushButton>("cmdCancel")->isVisible(), 30000);
    screenkit::find(screenkit::Screen::Import)->close();
    // What was added is kept, and the observer learns where the import stopped.
    const qsizetype rows = cumobsRows(m_folder->path()).size();
    QVERIFY(rows > 0 && rows < 300000);
    const QString told = m_messages->dump();
    QVERIFY2(m_messages->messages().size() == 1 && told.contains(QStringLiteral("before line %1 ").arg(rows + 3)),
             qPrintable(told));
}

void tst_convertscreen::closingWhileAskedAddsNothing()
{
    QVERIFY(open());
    clickFile(QStringLiteral("obs.txt"));
    clickFile(QStringLiteral("obs.txt"));
    QTRY_COMPARE(m_messages->messages().size(), 1);
    // The window manager's close does not reach a window behind the box: closed from code.
    m_messages->onMessage([](const hostkit::Message &) { screenkit::find(screenkit::Screen::Import)->close(); });
    clickFile(QStringLiteral("obs.txt"));
    QTRY_VERIFY(!screenkit::find(screenkit::Screen::Import));
    QCOMPARE(m_messages->messages().constLast().title, QStringLiteral("Observations already added"));
    QCOMPARE(m_messages->messages().size(), 2);
    QCOMPARE(cumobsRows(m_folder->path()).size(), 3);
}

void tst_convertscreen::undoFromTheList()
{
    QVERIFY(open());
    clickFile(QStringLiteral("obs.txt"));
    clickFile(QStringLiteral("obs.txt"));
    auto *list = control<QListWidget>("lstImports");
    QTRY_COMPARE(list->count(), 1);
    QPushButton *undo = control<QPushButton>("cmdUndo");
    QVERIFY(!undo->isEnabled());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    // The box's first button, Yes.
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(m_messages->messages().size(), 3);
    QCOMPARE(m_messages->messages().constLast().title, QStringLiteral("Import undone"));
    QVERIFY(cumobsRows(m_folder->path()).isEmpty());
    QVERIFY2(list->item(0)->text().endsWith(
                 QStringLiteral(": 3 added, complete (undone %1)").arg(QDate::currentDate().toString(Qt::ISODate))),
             qPrintable(list->item(0)->text()));
    QVERIFY(!undo->isEnabled());
}

void tst_convertscreen::foldersAndDrivesMoveTheLists()
{
    QVERIFY(open());
    QTreeView *folders = control<QTreeView>("Dir1");
    const auto *model = static_cast<const QFileSystemModel *>(folders->model());
    const QModelIndex year = model->index(QDir(downloads()).filePath(QStringLiteral("2019")));
    QTRY_VERIFY(folders->visualRect(year).isValid());
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualRect(year).center());
    QTRY_COMPARE(listedFiles(), QStringList{QStringLiteral("march.txt")});

    // A volume that is not there leaves the lists as they were.
    auto *drives = control<QComboBox>("Drive1");
    const int home = drives->currentIndex();
    drives->addItem(QStringLiteral("STICK"), QStringLiteral("/media/varlume-test-no-such-volume"));
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("\"STICK\" is not ready. Insert or connect it, then choose it again.")});
    QCOMPARE(drives->currentIndex(), home);
    QCOMPARE(listedFiles(), QStringList{QStringLiteral("march.txt")});

    drives->setCurrentIndex(0);
    QCOMPARE(model->filePath(folders->rootIndex()), QStringLiteral("/"));
}

void tst_convertscreen::helpShowsTopic1003()
{
    QVERIFY(QFile::copy(QStringLiteral(HELP_FILE), m_folder->file(QStringLiteral("quillon.html"))));
    QVERIFY(open());
    QTest::mouseClick(control<QPushButton>("cmdHelp"), Qt::LeftButton);
    QTRY_COMPARE(shownHelpTopic(), QStringLiteral("1003"));
}

void tst_convertscreen::nightStyleWhileObserving()
{
    screenkit::night::Hold night;
    QWidget *screen = open();
    QVERIFY(screen);
    clickFile(QStringLiteral("obs.txt"));
    control<QComboBox>("Drive1")->setFocus();
    const QImage image = grabNight(screen);
    const int light = lightPixels(image);
    if (light)
        image.save(QStringLiteral("convertscreen-light.png"));
    QCOMPARE(light, 0);
}

void tst_convertscreen::fitsCommonScreens_data()
{
    QTest::addColumn<QRect>("available");
    QTest::newRow("1024x768") << QRect(0, 0, 1024, 768);
    QTest::newRow("1280x800") << QRect(0, 0, 1280, 800);
    QTest::newRow("1366x768") << QRect(0, 0, 1366, 768);
}

void tst_convertscreen::fitsCommonScreens()
{
    QFETCH(QRect, available);
    screenkit::Form *screen = open();
    QVERIFY(screen);
    clickFile(QStringLiteral("obs.txt"));
    screen->fitTo(available);
    QVERIFY(!screen->scrolls());
    QCOMPARE(screen->scale(), 1.0);
    auto *label2 = control<QLabel>("Label2");
    label2->setText(import::modImportscreen::resultText(1000000, 12345678));
    label2->resize(label2->sizeHint());
    const QRect canvas = screen->canvas()->rect();
    QList<QWidget *> controls;
    for (const char *name : {"Drive1", "Dir1", "File1", "Label1", "cmdHelp", "Label2", "prgImport", "cmdCancel",
                             "lblImports", "lstImports", "cmdUndo"})
        controls.append(control<QWidget>(name));
    for (QWidget *c : std::as_const(controls)) {
        QVERIFY2(canvas.contains(c->geometry()), qPrintable(c->objectName()));
        for (QWidget *other : std::as_const(controls)) {
            if (other != c)
                QVERIFY2(!c->geometry().intersects(other->geometry()),
                         qPrintable(c->objectName() + QStringLiteral(" overlaps ") + other->objectName()));
        }
    }
}

QTEST_MAIN(tst_convertscreen)

#include "tst_convertscreen.moc"
