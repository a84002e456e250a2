// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/frmentryscreen.h"
#include "reports/ledgermatch.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"
#include "tests/import/downloadfile.h"
#include "tests/observe/entryscreenfixture.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace
{
// Dates at 14:24 UT of their day: in the night of that day's file in every time zone.
const QByteArray cleanDay = "ss cyg|2458123.1|11.0|na|110|115|1896|na\r\n";
const QByteArray faultyDay = "ss cyg|2458124.1|11.2|na|110|115|1896|na\r\n"
                             "SS CYG|2458124.1|11.20|na|110|115|1896|na\r\n"
                             "rr lyr|2458124.12|abc.0|na|na|na|1896|na\r\n";

QWidget *checkWindow()
{
    return screenkit::find(screenkit::Screen::ReportCheck);
}

QListWidget *reportList()
{
    return checkWindow()->findChild<QListWidget *>(QStringLiteral("lstReports"));
}

QTableWidget *findings()
{
    return checkWindow()->findChild<QTableWidget *>(QStringLiteral("grdFindings"));
}

// A row of the findings as "line|kind|field".
QStringList rows()
{
    QStringList list;
    for (int row = 0; row < findings()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 3; ++column)
            cells.append(findings()->item(row, column)->text());
        list.append(cells.join(u'|'));
    }
    return list;
}
}

class tst_reportcheckscreen final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startScreenOpensItNewestFirst();
    void nightStyleWhileObserving();
    void longValueShownCut();
    void observationScreenOpensItAndChecksOnClosing();
    void ledgerTellsWhatTheAavsoHolds();
};

void tst_reportcheckscreen::startScreenOpensItNewestFirst()
{
    EntryScreenFixture f;
    f.folder().write(QStringLiteral("obs/2018-Jan-04.txt"), observerHeader + cleanDay);
    f.folder().write(QStringLiteral("obs/2018-Jan-05.txt"),
                     QByteArray(observerHeader).replace("=XYZ", "=KTV") + faultyDay);
    QWidget *start = screenkit::show(screenkit::Screen::Startup);
    QVERIFY(QTest::qWaitForWindowActive(start));
    auto *button = start->findChild<QPushButton *>(QStringLiteral("cmdCheckreport"));
    QCOMPARE(button->text(), QStringLiteral("Check &report"));
    QCOMPARE(button->geometry(), QRect(96, 560, 97, 41));
    // Last in the focus order.
    start->findChild<QPushButton *>(QStringLiteral("cmdDownload"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button);

    QTest::keyClick(start, Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY(checkWindow() && checkWindow()->isVisible());
    QCOMPARE(checkWindow()->windowTitle(), QStringLiteral("Check report"));
    QCOMPARE(reportList()->count(), 2);
    QCOMPARE(reportList()->item(0)->text(), QStringLiteral("2018-Jan-05.txt"));
    QCOMPARE(reportList()->item(1)->text(), QStringLiteral("2018-Jan-04.txt"));
    QCOMPARE(reportList()->currentRow(), 0);
    QCOMPARE(findings()->horizontalHeaderItem(4)->text(), QStringLiteral("Reason"));
    // Errors first.
    QCOMPARE(rows(), (QStringList{"8|Error|line", "9|Error|magnitude", "2|Warning|#OBSCODE"}));
    QCOMPARE(findings()->item(1, 3)->text(), QStringLiteral("abc.0"));
    const auto *summary = checkWindow()->findChild<QLabel *>(QStringLiteral("lblSummary"));
    QCOMPARE(summary->text(), QStringLiteral("2018-Jan-05.txt: 2 errors, 1 warning, 3 observations"));

    QTest::mouseClick(reportList()->viewport(), Qt::LeftButton, {},
                      reportList()->visualItemRect(reportList()->item(1)).center());
    QCOMPARE(findings()->rowCount(), 0);
    QCOMPARE(summary->text(), QStringLiteral("2018-Jan-04.txt: no findings, 1 observation. Ready to submit."));
}

void tst_reportcheckscreen::nightStyleWhileObserving()
{
    EntryScreenFixture f;
    QByteArray many = QByteArray(observerHeader).replace("=XYZ", "=KTV");
    for (int i = 0; i < 30; ++i)
        many += faultyDay;
    f.folder().write(QStringLiteral("obs/2018-Jan-05.txt"), many);
    const screenkit::night::Hold night;
    QWidget *window = screenkit::show(screenkit::Screen::ReportCheck);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    findings()->selectRow(2);
    reportList()->setFocus();
    QVERIFY(findings()->verticalScrollBar()->isVisible());
    const QImage image = grabNight(window);
    const int light = lightPixels(image);
    if (light > 0)
        image.save(QStringLiteral("light-reportcheck.png"));
    QCOMPARE(light, 0);
}

// Word-wrapped whole, a value of megabytes kept the window from painting for minutes.
void tst_reportcheckscreen::longValueShownCut()
{
    EntryScreenFixture f;
    f.folder().write(QStringLiteral("obs/2018-Jan-05.txt"),
                     observerHeader + "ss cyg|2458124.1|11.2|na|110|115|1896|" + QByteArray(2'000'000, 'n') + "\r\n");
    QWidget *window = screenkit::show(screenkit::Screen::ReportCheck);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(rows(), QStringList{QStringLiteral("7|Warning|notes")});
    QCOMPARE(findings()->item(0, 3)->text(), QString(300, u'n') + QStringLiteral("… (2,000,000 characters in all)"));
}

void tst_reportcheckscreen::observationScreenOpensItAndChecksOnClosing()
{
    EntryScreenFixture f;
    QVERIFY(f.open());
    QPushButton *button = f.button("cmdCheckreport");
    QCOMPARE(button->text(), QStringLiteral("Chec&k report"));
    QCOMPARE(button->geometry(), QRect(824, 80, 113, 25));
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(checkWindow() && checkWindow()->isVisible());
    QCOMPARE(reportList()->currentItem()->text(), QFileInfo(f.reportPath()).fileName());
    checkWindow()->close();
    QTRY_VERIFY(!checkWindow());

    // A clean report: nothing to show when the screen closes.
    f.close();
    QVERIFY(!checkWindow());

    QVERIFY(f.open());
    for (int i = 0; i < 2; ++i) {
        f.fillExample();
        f.enter();
    }
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    const QString today = QFileInfo(f.reportPath()).fileName();
    f.close();
    QTRY_VERIFY(checkWindow() && checkWindow()->isVisible());
    QCOMPARE(reportList()->currentItem()->text(), today);
    QCOMPARE(rows().value(0), QStringLiteral("8|Error|line"));
    QVERIFY2(findings()->item(0, 4)->text().contains(QStringLiteral("line 7")), qPrintable(rows().join(u'\n')));
}

void tst_reportcheckscreen::ledgerTellsWhatTheAavsoHolds()
{
    EntryScreenFixture f;
    f.folder().write(QStringLiteral("obs/2018-Jan-05.txt"), observerHeader + reportOfThree);
    QWidget *window = screenkit::show(screenkit::Screen::ReportCheck);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const auto *note = window->findChild<QLabel *>(QStringLiteral("lblLedger"));
    QCOMPARE(note->text(), reports::modReportcheck::noDownloadNote());

    QVERIFY(importDownload(f.folder().path(), downloadOfTwo));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdRecheck")), Qt::LeftButton);
    const auto *ledger = window->findChild<QTableWidget *>(QStringLiteral("grdLedger"));
    QCOMPARE(ledger->rowCount(), 1);
    QCOMPARE(ledger->item(0, 1)->text(), QStringLiteral("the AAVSO holds 2 lines; not at the AAVSO yet: 1 line"));
    const auto *lines = window->findChild<QTableWidget *>(QStringLiteral("grdLedgerlines"));
    QStringList marks;
    for (int row = 0; row < lines->rowCount(); ++row)
        marks.append(lines->item(row, 0)->text() + u'|' + lines->item(row, 2)->text());
    QCOMPARE(marks, (QStringList{"7|held", "8|held as OMI CET", "9|not at the AAVSO yet"}));
}

QTEST_MAIN(tst_reportcheckscreen)
#include "tst_reportcheckscreen.moc"
