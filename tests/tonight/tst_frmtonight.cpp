// SPDX-License-Identifier: GPL-2.0-or-later
// The Tonight screen, driven from the keyboard: Return opens the star on the
// observation screen (refused while an estimate waits there), F5 plans
// again, and the site dialog sends the observer back to the field it refuses.
#include "tests/observe/entryscreenfixture.h"
#include "tests/support/testcharts.h"

#include "observe/frmentryscreen.h"
#include "screenkit/navigation.h"
#include "store/database.h"
#include "tonight/frmsite.h"
#include "tonight/nightplot.h"
#include "tonight/planinput.h"

#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>

using screenkit::Screen;

class tst_frmtonight final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void returnOpensTheStarWithItsChart();
    void returnRefusedWhileAnEstimateWaits();
    void f5PlansAgain();
    void siteDialogRefusalNamesTheField();

private:
    QWidget *openTonight();
    QTableWidget *plan() const;
    void givePosition();

    std::unique_ptr<EntryScreenFixture> m_fixture;
};

void tst_frmtonight::init()
{
    m_fixture = std::make_unique<EntryScreenFixture>();
    // An evening in Berlin with SS Cyg high in the west.
    m_fixture->setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(18, 30), QTimeZone::utc()); });
    m_fixture->folder().write(QStringLiteral("starcharts/ss cyg.gif"), gifBytes(blackOnWhiteChart(300, 400)));
}

void tst_frmtonight::cleanup()
{
    m_fixture.reset();
}

QWidget *tst_frmtonight::openTonight()
{
    QWidget *screen = screenkit::show(Screen::Tonight);
    return screen && QTest::qWaitForWindowActive(screen) ? screen : nullptr;
}

QTableWidget *tst_frmtonight::plan() const
{
    return screenkit::find(Screen::Tonight)->findChild<QTableWidget *>(QStringLiteral("grdPlan"));
}

void tst_frmtonight::givePosition()
{
    store::Database db(m_fixture->folder().programFolder());
    QVERIFY(tonight::savePosition(db, QStringLiteral("SS Cyg"), tonight::Position{325.678, 43.586}));
}

void tst_frmtonight::returnOpensTheStarWithItsChart()
{
    m_fixture->folder().writeSite();
    givePosition();
    QWidget *screen = openTonight();
    QVERIFY(screen);
    QCOMPARE(plan()->rowCount(), 1);
    QCOMPARE(plan()->item(0, 0)->text(), QStringLiteral("ss cyg"));
    QVERIFY(screen->findChild<tonight::NightPlot *>(QStringLiteral("plotNight"))->graph(0)->dataCount() > 100);

    QTest::keyClick(plan(), Qt::Key_Return);
    QVERIFY(m_fixture->screen());
    QVERIFY2(m_fixture->messages().messages().isEmpty(), qPrintable(m_fixture->messages().dump()));
    QCOMPARE(m_fixture->edit("txtStar")->text(), QStringLiteral("ss cyg"));
    QCOMPARE(m_fixture->screen()->selstar(), QStringLiteral("ss cyg"));
    QCOMPARE(m_fixture->screen()->findChild<QListWidget *>(QStringLiteral("ddStars"))->currentItem()->text(),
             QStringLiteral("ss cyg"));
}

void tst_frmtonight::returnRefusedWhileAnEstimateWaits()
{
    m_fixture->folder().writeSite();
    givePosition();
    QVERIFY(m_fixture->open());
    m_fixture->type(m_fixture->edit("txtEstimate"), QStringLiteral("110(1)115"));
    // From the observation screen by its access key.
    QTest::keyClick(m_fixture->edit("txtEstimate"), Qt::Key_T, Qt::AltModifier);
    // An access key from a checked field clicks its button a moment later.
    QWidget *tonight = nullptr;
    QTRY_VERIFY((tonight = screenkit::find(Screen::Tonight)));
    QVERIFY(QTest::qWaitForWindowActive(tonight));
    QTest::keyClick(plan(), Qt::Key_Return);
    QCOMPARE(m_fixture->messages().messages().size(), 1);
    QCOMPARE(m_fixture->messages().messages().constFirst().title, QStringLiteral("Estimate not entered"));
    QCOMPARE(m_fixture->edit("txtEstimate")->text(), QStringLiteral("110(1)115"));
    QCOMPARE(m_fixture->edit("txtStar")->text(), QString());
}

void tst_frmtonight::f5PlansAgain()
{
    m_fixture->folder().writeSite();
    QWidget *screen = openTonight();
    QVERIFY(screen);
    QCOMPARE(plan()->rowCount(), 0);
    QVERIFY(screen->findChild<QLabel *>(QStringLiteral("lblWithoutPosition"))->text().contains(u"ss cyg"));
    givePosition();
    QTest::keyClick(screen, Qt::Key_F5);
    QCOMPARE(plan()->rowCount(), 1);
    QCOMPARE(screen->findChild<QLabel *>(QStringLiteral("lblWithoutPosition"))->text(), QString());
}

void tst_frmtonight::siteDialogRefusalNamesTheField()
{
    // No site yet: the dialog comes first.
    QVERIFY(screenkit::show(Screen::Tonight));
    tonight::frmSite *dialog = nullptr;
    QTRY_VERIFY((dialog = screenkit::find(Screen::Tonight)->findChild<tonight::frmSite *>()));
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto *latitude = dialog->findChild<QLineEdit *>(QStringLiteral("txtLatitude"));
    m_fixture->type(latitude, QStringLiteral("95"));
    m_fixture->type(dialog->findChild<QLineEdit *>(QStringLiteral("txtLongitude")), QStringLiteral("13 24 E"));
    QTest::keyClick(dialog, Qt::Key_Return);
    QCOMPARE(m_fixture->messages().messages().size(), 1);
    QVERIFY2(m_fixture->messages().texts().constFirst().contains(u"atitude"), qPrintable(m_fixture->messages().dump()));
    QCOMPARE(QApplication::focusWidget(), latitude);
    QVERIFY(!m_fixture->folder().exists(QStringLiteral("site.ini")));

    m_fixture->type(latitude, QStringLiteral("52 31 N"));
    QTest::keyClick(dialog, Qt::Key_Return);
    QTRY_VERIFY(m_fixture->folder().exists(QStringLiteral("site.ini")));
    QVERIFY(
        screenkit::find(Screen::Tonight)->findChild<QLabel *>(QStringLiteral("lblDark"))->text().startsWith(u"Dark "));
}

QTEST_MAIN(tst_frmtonight)
#include "tst_frmtonight.moc"
