// SPDX-License-Identifier: GPL-2.0-or-later
// Every screen fits a laptop: laid out for 1366 x 768 and 1280 x 800 it
// shows whole; for 1024 x 768 it may scroll, never spill or overlap. And
// each claims an access key once: with two claiming it, Qt only moves the
// focus between them and neither acts.
#include "app/screenregistry.h"
#include "screenkit/form.h"
#include "screenkit/navigation.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMultiMap>
#include <QSet>
#include <QTest>

using screenkit::Screen;

class tst_fit final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void screens_data();
    void screens();
    void accessKeysOncePerWindow();

private:
    std::unique_ptr<AppFolder> m_folder;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<app::ScreenRegistry> m_screens;
};

void tst_fit::initTestCase()
{
    m_folder = std::make_unique<AppFolder>();
    m_messages = std::make_unique<MessageRecorder>();
    m_folder->prepare();
    QVERIFY(m_folder->installLibrary());
    QVERIFY(m_folder->installHelp());
    m_folder->writeSite();
    m_screens = std::make_unique<app::ScreenRegistry>(m_folder->programFolder());
}

void tst_fit::cleanupTestCase()
{
    closeHelp();
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_screens.reset();
}

void tst_fit::screens_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QSize>("available");
    QTest::addColumn<bool>("scrolls");
    const QList<std::pair<const char *, Screen>> screens{
        {"start", Screen::Startup},           {"header editor", Screen::HeaderEditor},
        {"observation", Screen::Observation}, {"report check", Screen::ReportCheck},
        {"light curve", Screen::LightCurve},  {"catalogue", Screen::Catalogue},
        {"import", Screen::Import},           {"tonight", Screen::Tonight},
    };
    for (const auto &[name, screen] : screens) {
        QTest::addRow("%s at 1366x768", name) << int(screen) << QSize(1366, 768) << false;
        QTest::addRow("%s at 1280x800", name) << int(screen) << QSize(1280, 800) << false;
        QTest::addRow("%s at 1024x768", name) << int(screen) << QSize(1024, 768) << (screen == Screen::Observation);
    }
}

void tst_fit::screens()
{
    QFETCH(int, screen);
    QFETCH(QSize, available);
    QFETCH(bool, scrolls);
    auto *form = qobject_cast<screenkit::Form *>(screenkit::show(Screen(screen)));
    QVERIFY(form);
    const QWidget *canvas = form->canvas();
    const QList<QWidget *> controls = canvas->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    // What overlaps as drawn up, at full size, may overlap when smaller.
    form->fitTo(QRect(0, 0, 1920, 1200));
    QCOMPARE(form->scale(), 1.0);
    QSet<std::pair<const QWidget *, const QWidget *>> designed;
    for (const QWidget *control : controls) {
        for (const QWidget *other : controls) {
            if (control->geometry().intersects(other->geometry()))
                designed.insert(std::make_pair(control, other));
        }
    }
    form->fitTo(QRect(QPoint(0, 0), available));

    QCOMPARE(form->scrolls(), scrolls);
    QVERIFY(form->scale() >= screenkit::Form::smallestScale);
    QVERIFY(form->scale() <= 1.0);
    // The window and its frame within the screen.
    QVERIFY2(form->width() <= available.width() && form->height() + 40 <= available.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(form->width()).arg(form->height())));

    for (const QWidget *control : controls) {
        if (!control->isVisibleTo(form))
            continue;
        QVERIFY2(canvas->rect().contains(control->geometry()), qPrintable(control->objectName()));
        for (const QWidget *other : controls) {
            if (other == control || !other->isVisibleTo(form) || designed.contains(std::make_pair(control, other)))
                continue;
            QVERIFY2(!control->geometry().intersects(other->geometry()),
                     qPrintable(control->objectName() + QStringLiteral(" overlaps ") + other->objectName()));
        }
    }
}

void tst_fit::accessKeysOncePerWindow()
{
    // Every screen, first to last (the registry has none past the last), and the windows they open.
    QList<QWidget *> windows;
    for (int screen = 0; QWidget *shown = screenkit::show(Screen(screen)); ++screen)
        windows.append(shown);
    for (const auto &[screen, button, opened] : {std::tuple{Screen::Tonight, "cmdSite", "frmSite"},
                                                 {Screen::Tonight, "cmdPosition", "frmPosition"},
                                                 {Screen::Catalogue, "cmdChartsreport", "DataReport1"}}) {
        screenkit::find(screen)->findChild<QAbstractButton *>(QLatin1String(button))->click();
        windows.append(screenkit::find(screen)->findChild<QWidget *>(QLatin1String(opened)));
        QVERIFY2(windows.constLast() && windows.constLast()->isVisible(), opened);
    }
    screenkit::help(screenkit::HelpCommand::DisplayContents, 0);
    QTRY_VERIFY(!shownHelpTopic().isEmpty());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("quillonHelp"))
            windows.append(window);
        QVERIFY2(!window->isVisible() || windows.contains(window), qPrintable(window->objectName() + " not walked"));
    }

    for (const QWidget *window : std::as_const(windows)) {
        // Hidden and disabled buttons too: they claim their key once shown.
        QMultiMap<QKeySequence, QString> claims;
        for (const QWidget *control : window->findChildren<QWidget *>()) {
            const auto *button = qobject_cast<const QAbstractButton *>(control);
            const auto *label = qobject_cast<const QLabel *>(control);
            const QString text = button ? button->text() : label && label->buddy() ? label->text() : QString();
            // A dialog's keys are its own.
            if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty() && control->window() == window)
                claims.insert(key, control->objectName());
        }
        for (const QKeySequence &key : claims.uniqueKeys())
            QVERIFY2(claims.count(key) == 1,
                     qPrintable(QStringLiteral("%1: %2 claimed by %3")
                                    .arg(window->windowTitle(), key.toString(),
                                         claims.values(key).join(QStringLiteral(", ")))));
    }
}

QTEST_MAIN(tst_fit)
#include "tst_fit.moc"
