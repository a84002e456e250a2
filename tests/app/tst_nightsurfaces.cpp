// SPDX-License-Identifier: GPL-2.0-or-later
// While the observation screen is open, every window the program shows is
// red and dark red on black: no pixel of it may carry green or blue.
#include "app/screenregistry.h"
#include "screenkit/form.h"
#include "screenkit/navigation.h"
#include "screenkit/nightcolours.h"
#include "store/database.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"
#include "tonight/planinput.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

class tst_nightsurfaces final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void observationScreenWithCaretSelectionAndScrollBars();
    void messageBoxes_data();
    void messageBoxes();
    void toolTips();
    void otherScreensAndTheHelp();
    void tonightWithItsPlotAndDialogs();
    void dayReturnsWhenTheObservationScreenCloses();
    void firstFrameIsDark();

private:
    QWidget *observation() const;
    // Fails the test with the image saved when it shows any light.
    static void verifyDark(const QImage &image, const char *what);

    std::unique_ptr<AppFolder> m_folder;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<app::ScreenRegistry> m_screens;
};

void tst_nightsurfaces::init()
{
    m_folder = std::make_unique<AppFolder>();
    m_messages = std::make_unique<MessageRecorder>();
    m_folder->prepare();
    QVERIFY(m_folder->installLibrary());
    QVERIFY(m_folder->installHelp());
    m_screens = std::make_unique<app::ScreenRegistry>(m_folder->programFolder());
    QWidget *screen = screenkit::show(screenkit::Screen::Observation);
    QVERIFY(QTest::qWaitForWindowActive(screen));
}

void tst_nightsurfaces::cleanup()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_screens.reset();
    m_messages.reset();
    m_folder.reset();
}

QWidget *tst_nightsurfaces::observation() const
{
    return screenkit::find(screenkit::Screen::Observation);
}

void tst_nightsurfaces::verifyDark(const QImage &image, const char *what)
{
    const int light = lightPixels(image);
    if (light > 0)
        image.save(QStringLiteral("light-%1.png").arg(QLatin1String(what)));
    QVERIFY2(light == 0, qPrintable(QStringLiteral("%1 light pixels in %2").arg(light).arg(QLatin1String(what))));
}

void tst_nightsurfaces::observationScreenWithCaretSelectionAndScrollBars()
{
    QWidget *screen = observation();
    // A caret in a field, a selection in another, a chosen code, the
    // constellation grid's and the code list's scroll bars, a disabled button.
    auto *notes = screen->findChild<QLineEdit *>(QStringLiteral("txtNotes"));
    typeInto(notes, QStringLiteral("haze"));
    auto *report = screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"));
    report->selectAll();
    screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"))->setCurrentRow(3);
    screen->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"))->setCurrentCell(30, 0);
    QVERIFY(!screen->findChild<QPushButton *>(QStringLiteral("cmdEnter"))->isEnabled());
    QCOMPARE(QApplication::focusWidget(), notes);
    // A warning after a recording, red on black.
    auto *warning = screen->findChild<QLabel *>(QStringLiteral("lblWarnings"));
    warning->setText(QStringLiteral("ss cyg, 2458124.3958, 13.0, bracket: the estimate lies outside."));
    warning->show();
    QCOMPARE(grabNight(warning).pixel(1, 1), screenkit::night::black);
    // The line being corrected, named over the report.
    auto *correcting = screen->findChild<QLabel *>(QStringLiteral("lblCorrecting"));
    correcting->setText(QStringLiteral("Correcting: ss cyg|2458124.3958|13.0|na|110|115|1896|na"));
    correcting->show();
    verifyDark(grabNight(screen), "observation");

    // The caret is drawn, in red.
    const QImage withCaret = grabNight(notes);
    notes->clearFocus();
    const QImage withoutCaret = grabNight(notes);
    QVERIFY(withCaret != withoutCaret);
}

void tst_nightsurfaces::messageBoxes_data()
{
    QTest::addColumn<int>("icon");
    QTest::newRow("information") << int(QMessageBox::Information);
    QTest::newRow("warning") << int(QMessageBox::Warning);
    QTest::newRow("critical") << int(QMessageBox::Critical);
    QTest::newRow("question") << int(QMessageBox::Question);
}

void tst_nightsurfaces::messageBoxes()
{
    QFETCH(int, icon);
    const hostkit::MessageHandler recorder = hostkit::messageHandler();
    hostkit::setMessageHandler({});
    QImage shown;
    bool hasIcon = false;
    QTimer::singleShot(0, observation(), [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        hasIcon = !box->iconPixmap().isNull();
        shown = grabNight(box);
        box->accept();
    });
    hostkit::ask(QStringLiteral("Magnitude must have a decimal point"), QStringLiteral("Wrong number format"),
                 QMessageBox::Icon(icon), QMessageBox::Ok | QMessageBox::Cancel);
    hostkit::setMessageHandler(recorder);
    QVERIFY(!shown.isNull());
    // Recoloured, never dropped.
    QVERIFY(hasIcon);
    verifyDark(shown, QTest::currentDataTag());
}

void tst_nightsurfaces::toolTips()
{
    auto *enter = observation()->findChild<QPushButton *>(QStringLiteral("cmdEnter"));
    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), enter->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(enter, &tip);
    QWidget *label = nullptr;
    QTRY_VERIFY((label = [] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->inherits("QTipLabel") && window->isVisible())
                return window;
        }
        return static_cast<QWidget *>(nullptr);
    }()));
    verifyDark(grabNight(label), "tooltip");
}

void tst_nightsurfaces::otherScreensAndTheHelp()
{
    screenkit::help(screenkit::HelpCommand::HelpContext, 1002);
    QTRY_COMPARE(shownHelpTopic(), QStringLiteral("1002"));
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("quillonHelp"))
            verifyDark(grabNight(window), "help");
    }
    closeHelp();

    QWidget *start = screenkit::show(screenkit::Screen::Startup);
    QVERIFY(QTest::qWaitForWindowExposed(start));
    verifyDark(grabNight(start), "start");

    QWidget *editor = screenkit::show(screenkit::Screen::HeaderEditor);
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    verifyDark(grabNight(editor), "header-editor");
}

void tst_nightsurfaces::tonightWithItsPlotAndDialogs()
{
    m_folder->writeSite();
    store::Database db(m_folder->programFolder());
    QVERIFY(tonight::savePosition(db, QStringLiteral("ss cyg"), tonight::Position{325.678, 43.586}));
    QWidget *tonight = screenkit::show(screenkit::Screen::Tonight);
    QVERIFY(QTest::qWaitForWindowExposed(tonight));
    verifyDark(grabNight(tonight), "tonight");
    for (const char *button : {"cmdSite", "cmdPosition"}) {
        QTest::mouseClick(tonight->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QWidget *dialog = nullptr;
        QTRY_VERIFY((dialog = QApplication::activeModalWidget()));
        verifyDark(grabNight(dialog), button);
        dialog->close();
    }
}

void tst_nightsurfaces::dayReturnsWhenTheObservationScreenCloses()
{
    QWidget *start = screenkit::show(screenkit::Screen::Startup);
    observation()->close();
    QTRY_VERIFY(!observation());
    QCOMPARE(start->findChild<QWidget *>(QStringLiteral("canvas"))->palette().color(QPalette::Window),
             QColor(128, 128, 128));
    QVERIFY(lightPixels(grabNight(start)) > 0);
}

void tst_nightsurfaces::firstFrameIsDark()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("only a real display shows a window before the program paints it");
    // Looked at on the screen itself from the moment the window maps, frame
    // by frame while it paints itself for the first time.
    observation()->close();
    QTRY_VERIFY(!observation());
    QWidget *screen = screenkit::show(screenkit::Screen::Observation);
    for (int frame = 0; frame < 20; ++frame) {
        const QRect area = screen->geometry();
        verifyDark(
            QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage(),
            "first-frames");
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QTEST_MAIN(tst_nightsurfaces)
#include "tst_nightsurfaces.moc"
