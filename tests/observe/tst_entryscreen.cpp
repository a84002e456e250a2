// SPDX-License-Identifier: GPL-2.0-or-later
#include "appfiles/folder.h"
#include "observe/frmentryscreen.h"
#include "reports/sequencerules.h"
#include "screenkit/navigation.h"
#include "screenkit/nightcolours.h"
#include "store/charts.h"
#include "store/database.h"
#include "store/positions.h"
#include "tests/observe/entryscreenfixture.h"
#include "tests/support/testcharts.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

static const QByteArray exampleLine = "ss cyg|2458124.3958|11.2|na|110|115|1896|na\r\n";

class tst_entryscreen final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithTitleHeaderAndNoSelection();
    void constellationGridHoldsAll88();
    void listingStarsOfAConstellation();
    void choosingAStarEnablesEnter();
    void nightPaletteHasNoLightSurface();
    void savedDesignKeepsTheNightColours();
    void popupsOverTheScreenAreRedToo();
    void tabOrderFollowsTheFields();
    void exampleObservationEndToEnd();
    void warningShownOnlyAfterEnter();
    void notationFillsTheEmptyFields();
    void notationOverwritesNothingTyped();
    void notationWarnedAfterEnter();
    void changedSequenceToldOnceWithTheChart();
    void lineVariants_data();
    void lineVariants();
    void fieldsCompletedOnLeaving_data();
    void fieldsCompletedOnLeaving();
    void enterClickedStraightFromTheMagnitude();
    void magnitudeWithoutPointIsCalledBack();
    void emptyEstimateIsCalledBackOnce();
    void recordingFromTheEstimateSetsNoTrap();
    void accessKeyRunsTheFieldRulesFirst();
    void countCodesAndFainterThanCanBeSeen();
    void f11SwitchesFullScreen();
    void enteringAFieldSelectsItsText();
    void threeRecordingsInOrder();
    void dayFileContinuedOnSecondOpening();
    void apostropheInStarName();
    void refusalsLeaveEverythingUntouched_data();
    void refusalsLeaveEverythingUntouched();
    void reportWriteFailureStoresNothing();
    void databaseFailureWritesNoLine();
    void viewShowsTheLinesOfOtherWindows();
    void unpairedLinesAreNamedOnOpening();
    void correctAndWithdrawTheLastLine();
    void unusableHeaderIsExplained_data();
    void unusableHeaderIsExplained();
    void missingLibraryIsExplained();
    void foreignDatabaseIsReportedWhenNeeded();
    void realMessageBoxesNeverLoop();
    void helpAsksForTheObservationTopic();
};

void tst_entryscreen::opensWithTitleHeaderAndNoSelection()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    QVERIFY(screen);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(screen->windowTitle(), QStringLiteral("File name: ") + screen->todaysfile());
    QVERIFY(screen->todaysfile().startsWith(f.folder().path() + QStringLiteral("/obs/")));
    QCOMPARE(f.report(), observerHeader);
    QCOMPARE(screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))->toPlainText(),
             QString::fromLatin1(observerHeader).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(!f.button("cmdEnter")->isEnabled());
    QVERIFY(screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"))->selectedItems().isEmpty());
    QCOMPARE(screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"))->count(), 11);
    QVERIFY(!f.widget("lblPrevious")->isVisible());
    QVERIFY(!f.widget("Picture2")->isVisible());
    QVERIFY(screen->selstar().isEmpty());
    QCOMPARE(screen->totalobs(), 0);
    QCOMPARE(QApplication::focusWidget(), f.widget("cmdFinder"));
    for (const char *name : {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"}) {
        QVERIFY2(f.inner(name), name);
        QVERIFY(f.widget(name)->property("Text").toString().isEmpty());
    }
    QCOMPARE(f.widget("nbYear")->property("minval").toInt(), 2017);
    QCOMPARE(f.widget("nbYear")->property("maxval").toInt(), 2100);
    QCOMPARE(f.widget("nbMinute")->property("maxval").toInt(), 59);
    QCOMPARE(f.widget("nbYear")->size(), QSize(65, 33));
}

void tst_entryscreen::constellationGridHoldsAll88()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    auto *grid = screen->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    QCOMPARE(grid->rowCount(), 44);
    QCOMPARE(grid->columnCount(), 2);
    QSet<QString> seen;
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 44; ++row)
            seen.insert(grid->item(row, column)->text());
    QCOMPARE(seen.size(), 88);
    // Ordered by Latin name, so the abbreviations are not alphabetical here.
    QCOMPARE(grid->item(3, 0)->text(), QStringLiteral("Aqr"));
    QCOMPARE(grid->item(4, 0)->text(), QStringLiteral("Aql"));
    QCOMPARE(grid->item(15, 0)->text(), QStringLiteral("Cap"));
    QCOMPARE(grid->item(27, 0)->text(), QStringLiteral("Crv"));
    QCOMPARE(grid->item(43, 0)->text(), QStringLiteral("Ind"));
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("Lac"));
    QCOMPARE(grid->item(21, 1)->text(), QStringLiteral("Psc"));
    QCOMPARE(grid->item(29, 1)->text(), QStringLiteral("Scl"));
    QCOMPARE(grid->item(43, 1)->text(), QStringLiteral("Vul"));
}

void tst_entryscreen::listingStarsOfAConstellation()
{
    EntryScreenFixture f;
    {
        store::Database db(f.folder().programFolder());
        for (const char *name : {"R Lyr", "rr lyr", "Beta Lyr"})
            QVERIFY(store::addChart(db, {QString::fromLatin1(name), {}, {}, {}, {}, QStringLiteral("LYR")}));
    }
    observe::frmEntryscreen *screen = f.open();
    auto *stars = screen->findChild<QListWidget *>(QStringLiteral("ddStars"));
    auto names = [stars] {
        QStringList result;
        for (int i = 0; i < stars->count(); ++i)
            result.append(stars->item(i)->text());
        return result;
    };
    f.chooseStar(QStringLiteral("Cyg"), {});
    QCOMPARE(names(), QStringList{QStringLiteral("ss cyg")});
    f.chooseStar(QStringLiteral("Lyr"), {});
    QCOMPARE(names(), (QStringList{QStringLiteral("Beta Lyr"), QStringLiteral("R Lyr"), QStringLiteral("rr lyr")}));
    f.chooseStar(QStringLiteral("And"), {});
    QVERIFY(names().isEmpty());
    f.chooseStar(QStringLiteral("Cyg"), {});
    QCOMPARE(names(), QStringList{QStringLiteral("ss cyg")});
    // From the keyboard: Return on a cell lists its stars.
    auto *grid = screen->findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    grid->setFocus();
    grid->setCurrentCell(7, 1);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(names(), (QStringList{QStringLiteral("Beta Lyr"), QStringLiteral("R Lyr"), QStringLiteral("rr lyr")}));
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

void tst_entryscreen::choosingAStarEnablesEnter()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    QCOMPARE(screen->selstar(), QStringLiteral("ss cyg"));
    QVERIFY(f.button("cmdEnter")->isEnabled());
    // Only the chart button fills the star field.
    QVERIFY(f.edit("txtStar")->text().isEmpty());
    // Another constellation's listing keeps the star chosen before.
    f.chooseStar(QStringLiteral("Lyr"), {});
    QCOMPARE(screen->selstar(), QStringLiteral("ss cyg"));
}

void tst_entryscreen::nightPaletteHasNoLightSurface()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"))->setCurrentRow(3);
    f.type(f.edit("txtNotes"), QStringLiteral("selected text"));
    f.edit("txtNotes")->selectAll();
    // The toolkit draws the text caret inverted; it is a line, not a surface.
    f.button("cmdHelp")->setFocus();
    const QImage image = screen->grab().toImage();
    const int light = lightPixels(image);
    if (light)
        image.save(QStringLiteral("entryscreen-light.png"));
    QCOMPARE(light, 0);
}

void tst_entryscreen::savedDesignKeepsTheNightColours()
{
    // The design stores OLE colours, B * 65536 + G * 256 + R.
    const auto ole = [](QRgb colour) { return uint(qBlue(colour) << 16 | qGreen(colour) << 8 | qRed(colour)); };
    const hostkit::FormDesign design = entryScreenDesign();
    QCOMPARE(design.controls().size(), 5);
    for (const hostkit::ControlDesign &field : design.controls()) {
        QCOMPARE(field.properties.read(QStringLiteral("backcolor")).toUInt(), ole(screenkit::night::field));
        QCOMPARE(field.properties.read(QStringLiteral("forecolor")).toUInt(), ole(screenkit::night::text));
    }
}

void tst_entryscreen::popupsOverTheScreenAreRedToo()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();

    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), f.button("cmdEnter")->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(f.button("cmdEnter"), &tip);
    QWidget *label = nullptr;
    QTRY_VERIFY((label = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible())
                return w;
        return static_cast<QWidget *>(nullptr);
    }()));
    QCOMPARE(lightPixels(label->grab().toImage()), 0);

    // No light context menu either.
    const auto windows = QApplication::topLevelWidgets().size();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(f.edit("txtNotes"), &menu);
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);

    // A real message box over the screen.
    const hostkit::MessageHandler recorder = hostkit::messageHandler();
    hostkit::setMessageHandler({});
    int boxLight = -1;
    QTimer::singleShot(0, screen, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        boxLight = lightPixels(box->grab().toImage());
        box->accept();
    });
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    hostkit::ask(QStringLiteral("You must enter an estimate!"), QStringLiteral("Alert"));
    hostkit::setMessageHandler(recorder);
    QCOMPARE(boxLight, 0);
}

void tst_entryscreen::tabOrderFollowsTheFields()
{
    EntryScreenFixture f;
    QVERIFY(f.open());
    // Filled, so that no field's check calls the focus back on the way.
    const char *dateFields[5] = {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"};
    for (const char *name : dateFields)
        f.widget(name)->setProperty("Text", QStringLiteral("1"));
    f.widget("nbYear")->setProperty("Text", QStringLiteral("2020"));
    f.edit("txtEstimate")->setText(QStringLiteral("e"));
    f.edit("txtMagn")->setText(QStringLiteral("1.0"));
    f.edit("txtStar")->setFocus();
    QStringList visited;
    for (int i = 0; i < 28; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // A date field's own name, not that of the text field inside it.
        while (focus && focus->parentWidget() && focus->parentWidget()->objectName() != QStringLiteral("canvas")
               && focus->parentWidget()->objectName() != QStringLiteral("Picture1"))
            focus = focus->parentWidget();
        visited.append(focus ? focus->objectName() : QString());
    }
    QStringList expected{
        QStringLiteral("nbYear"),         QStringLiteral("nbMonth"),    QStringLiteral("nbDay"),
        QStringLiteral("nbHour"),         QStringLiteral("nbMinute"),   QStringLiteral("txtEstimate"),
        QStringLiteral("chkFainterthan"), QStringLiteral("txtMagn"),    QStringLiteral("nbComp1"),
        QStringLiteral("nbComp2"),        QStringLiteral("txtChartid"), QStringLiteral("ddCommentcodes"),
        QStringLiteral("cmdClearcode"),   QStringLiteral("txtNotes"),   QStringLiteral("rtbObs"),
        QStringLiteral("cmdEnter"),       QStringLiteral("Picture1"),   QStringLiteral("Picture3"),
        QStringLiteral("cmdHelp"),        QStringLiteral("cmdDBform"),  QStringLiteral("cmdFinder"),
        QStringLiteral("MSFlexGrid1"),    QStringLiteral("ddStars"),    QStringLiteral("cmdChart"),
        QStringLiteral("txtStar")};
    // The report check's and the light curve's buttons come last, after the Database Screen button.
    expected.insert(expected.indexOf(QStringLiteral("cmdDBform")) + 1, QStringLiteral("cmdCheckreport"));
    expected.insert(expected.indexOf(QStringLiteral("cmdCheckreport")) + 1, QStringLiteral("cmdLightcurve"));
    expected.insert(expected.indexOf(QStringLiteral("cmdLightcurve")) + 1, QStringLiteral("cmdTonight"));
    expected.insert(expected.indexOf(QStringLiteral("cmdTonight")) + 1, QStringLiteral("cmdCorrect"));
    expected.insert(expected.indexOf(QStringLiteral("cmdCorrect")) + 1, QStringLiteral("cmdWithdraw"));
    expected.removeLast();
    expected.removeLast();
    QCOMPARE(visited, expected);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

void tst_entryscreen::exampleObservationEndToEnd()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    f.fillExample();
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader + exampleLine);
    QCOMPARE(f.cumobsRows(), QStringList{QStringLiteral("ss cyg|11.2|110(1)115|2458124.3958|na|na|1896")});
    QCOMPARE(screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))->toPlainText(),
             QString::fromLatin1(observerHeader + exampleLine).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    for (const char *name : {"txtStar", "txtEstimate", "txtMagn", "nbComp1", "nbComp2", "txtChartid", "txtNotes"})
        QVERIFY2(f.edit(name)->text().isEmpty(), name);
    QVERIFY(!f.button("cmdEnter")->isEnabled());
    QCOMPARE(f.widget("nbYear")->property("Text").toString(), QStringLiteral("2018"));
    QCOMPARE(f.widget("nbMinute")->property("Text").toString(), QStringLiteral("30"));
    QCOMPARE(screen->totalobs(), 1);
    QCOMPARE(screen->findChild<QLabel *>(QStringLiteral("lblObs"))->text(),
             QStringLiteral("Total number of observations: 1"));
}

void tst_entryscreen::warningShownOnlyAfterEnter()
{
    EntryScreenFixture f;
    // Its history is read, and the reports of its days: a pipe among them is named, never waited for.
    store::PositionRecord mira;
    mira.star = QStringLiteral("SS Cyg");
    mira.type = QStringLiteral("M");
    {
        store::Database db(f.folder().programFolder());
        QVERIFY(store::savePositions(db, {mira}));
    }
    QCOMPARE(::mkfifo(QFile::encodeName(f.folder().file(QStringLiteral("obs/2018-Jan-03.txt"))).constData(), 0600), 0);
    observe::frmEntryscreen *screen = f.open();
    auto *warning = screen->findChild<QLabel *>(QStringLiteral("lblWarnings"));
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    f.fillExample();
    f.edit("txtMagn")->setText(QStringLiteral("13.0"));
    QVERIFY(!warning->isVisible());
    f.enter();
    QVERIFY(warning->isVisible());
    QVERIFY2(warning->text().startsWith(QStringLiteral("ss cyg, 2458124.3958, 13.0, bracket:"))
                 && warning->text().contains(QStringLiteral("2018-Jan-03.txt: This day's report cannot be read")),
             qPrintable(warning->text()));
    // The next chart is a new estimate: nothing of the last one may show.
    f.button("cmdChart")->click();
    QVERIFY(!warning->isVisible());
}

void tst_entryscreen::notationFillsTheEmptyFields()
{
    EntryScreenFixture f;
    f.open();
    QVERIFY(f.edit("txtEstimate")->toolTip().contains(QStringLiteral("at most 15 characters")));
    f.type(f.edit("txtEstimate"), QStringLiteral("90 2 V 1 100"));
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Tab);
    QCOMPARE(f.edit("txtMagn")->text(), QStringLiteral("9.7"));
    QCOMPARE(f.edit("nbComp1")->text(), QStringLiteral("90"));
    QCOMPARE(f.edit("nbComp2")->text(), QStringLiteral("100"));
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

void tst_entryscreen::notationOverwritesNothingTyped()
{
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    f.type(f.edit("nbComp2"), QString());
    f.type(f.edit("txtEstimate"), QStringLiteral("110 2 V 1 116"));
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Tab);
    QCOMPARE(f.edit("txtMagn")->text(), QStringLiteral("11.2"));
    QCOMPARE(f.edit("nbComp1")->text(), QStringLiteral("110"));
    QCOMPARE(f.edit("nbComp2")->text(), QStringLiteral("116"));
}

void tst_entryscreen::notationWarnedAfterEnter()
{
    EntryScreenFixture f;
    auto *warning = f.open()->findChild<QLabel *>(QStringLiteral("lblWarnings"));
    f.fillExample();
    f.type(f.edit("txtEstimate"), QStringLiteral("110 2 V 1 115"));
    QVERIFY(!warning->isVisible());
    f.enter();
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(),
             QStringLiteral("ss cyg, 2458124.3958, 11.2, notation: the notation \"110 2 V 1 115\" "
                            "gives 11.3, the line says 11.2."));
}

void tst_entryscreen::changedSequenceToldOnceWithTheChart()
{
    EntryScreenFixture f;
    const auto keep = [&f](double v, int year) {
        const reports::Sequence sequence{"1896", "SS Cyg", {{"000-BBC-002", {}, {}, "110", v, 0.02, {}}}, {}};
        QVERIFY(reports::keepSequence(f.folder().programFolder(), sequence, QDateTime(QDate(year, 1, 3), {})));
    };
    keep(11.04, 2026);
    keep(10.7, 2027);
    auto *warning = f.open()->findChild<QLabel *>(QStringLiteral("lblWarnings"));
    f.folder().write(QStringLiteral("starcharts/ss cyg.gif"), gifBytes(blackOnWhiteChart(50, 60)));
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    f.button("cmdChart")->click();
    QVERIFY2(warning->isVisible(), qPrintable(f.messages().dump()));
    QCOMPARE(warning->text(),
             QStringLiteral("The sequence of chart 1896 changed on 2027-01-03: 110 is now 10.7; plot a new chart."));
    QVERIFY(f.messages().messages().isEmpty());
    f.button("cmdChart")->click();
    QVERIFY(!warning->isVisible());
}

void tst_entryscreen::lineVariants_data()
{
    QTest::addColumn<QString>("nightly");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("fainter");
    QTest::addColumn<QString>("magnitude");
    QTest::addColumn<int>("comment");
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("row");

    QTest::newRow("slow star") << "no" << 21 << 30 << false << "11.2" << -1 << "1896"
                               << ""
                               << "ss cyg|2458124.4|11.2|na|110|115|1896|na"
                               << "ss cyg|11.2|e|2458124.4|na|na|1896";
    QTest::newRow("nightly flag in capitals is not nightly") << "YES" << 21 << 30 << false << "11.2" << -1 << "1896"
                                                             << ""
                                                             << "ss cyg|2458124.4|11.2|na|110|115|1896|na"
                                                             << "ss cyg|11.2|e|2458124.4|na|na|1896";
    QTest::newRow("fainter than") << "yes" << 21 << 30 << true << "13.0" << -1 << "1896"
                                  << ""
                                  << "ss cyg|2458124.3958|<13.0|na|110|115|1896|na"
                                  << "ss cyg|13.0|e|2458124.3958|na|na|1896";
    QTest::newRow("comment code Z") << "yes" << 21 << 30 << false << "11.2" << 10 << "1896"
                                    << ""
                                    << "ss cyg|2458124.3958|11.2|Z|110|115|1896|na"
                                    << "ss cyg|11.2|e|2458124.3958|Z|na|1896";
    QTest::newRow("no chart") << "yes" << 21 << 30 << false << "11.2" << -1 << ""
                              << "windy"
                              << "ss cyg|2458124.3958|11.2|na|110|115|na|windy"
                              << "ss cyg|11.2|e|2458124.3958|na|windy|na";
    QTest::newRow("midnight") << "yes" << 0 << 0 << false << "11.2" << -1 << "1896"
                              << ""
                              << "ss cyg|2458123.5|11.2|na|110|115|1896|na"
                              << "ss cyg|11.2|e|2458123.5|na|na|1896";
}

void tst_entryscreen::lineVariants()
{
    QFETCH(QString, nightly);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, fainter);
    QFETCH(QString, magnitude);
    QFETCH(int, comment);
    QFETCH(QString, chart);
    QFETCH(QString, notes);
    QFETCH(QString, line);
    QFETCH(QString, row);

    EntryScreenFixture f;
    f.setNightly(QStringLiteral("ss cyg"), nightly);
    observe::frmEntryscreen *screen = f.open();
    f.type(f.edit("txtStar"), QStringLiteral("ss cyg"));
    f.setDate(2018, 1, 5, hour, minute);
    f.type(f.edit("txtEstimate"), QStringLiteral("e"));
    if (fainter)
        QTest::mouseClick(f.widget("chkFainterthan"), Qt::LeftButton, {}, QPoint(8, 16));
    f.type(f.edit("txtMagn"), magnitude);
    f.type(f.edit("nbComp1"), QStringLiteral("110"));
    f.type(f.edit("nbComp2"), QStringLiteral("115"));
    f.type(f.edit("txtChartid"), chart);
    if (comment >= 0) {
        auto *codes = screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"));
        codes->scrollToItem(codes->item(comment));
        QTest::mouseClick(codes->viewport(), Qt::LeftButton, {}, codes->visualItemRect(codes->item(comment)).center());
    }
    f.type(f.edit("txtNotes"), notes);
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader + line.toLatin1() + "\r\n");
    QCOMPARE(f.cumobsRows(), QStringList{row});
    QVERIFY(!f.widget("chkFainterthan")->property("checked").toBool());
    QVERIFY(screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"))->selectedItems().isEmpty());
}

void tst_entryscreen::fieldsCompletedOnLeaving_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("whole magnitude") << "txtMagn"
                                     << "12"
                                     << "12.0";
    QTest::newRow("empty magnitude") << "txtMagn"
                                     << ""
                                     << "";
    QTest::newRow("decimal magnitude") << "txtMagn"
                                       << "11.2"
                                       << "11.2";
    QTest::newRow("comparison with point") << "nbComp1"
                                           << "11.2"
                                           << "112";
    QTest::newRow("comparison with points") << "nbComp2"
                                            << "1.1.2"
                                            << "112";
    QTest::newRow("chart id keeps its points") << "txtChartid"
                                               << "1.2"
                                               << "1.2";
}

void tst_entryscreen::fieldsCompletedOnLeaving()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    EntryScreenFixture f;
    f.open();
    QLineEdit *edit = f.edit(field.toLatin1().constData());
    f.type(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->text(), left);
    QVERIFY(QApplication::focusWidget() != edit);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

void tst_entryscreen::enterClickedStraightFromTheMagnitude()
{
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    f.type(f.edit("txtMagn"), QStringLiteral("12"));
    // Leaving the field for the button completes it before the click records.
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader + "ss cyg|2458124.3958|12.0|na|110|115|1896|na\r\n");
}

void tst_entryscreen::magnitudeWithoutPointIsCalledBack()
{
    EntryScreenFixture f;
    f.open();
    f.type(f.edit("txtMagn"), QStringLiteral("abc"));
    QTest::keyClick(f.edit("txtMagn"), Qt::Key_Tab);
    QCOMPARE(f.messages().texts(), QStringList{QStringLiteral("Magnitude must have a decimal point")});
    QCOMPARE(f.messages().messages().constFirst().title, QStringLiteral("Wrong number format"));
    QVERIFY(f.edit("txtMagn")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.edit("txtMagn"));

    // Left empty, it lets the observer go; Enter asks for the magnitude.
    f.messages().clear();
    QTest::keyClick(f.edit("txtMagn"), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != f.edit("txtMagn"));
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

void tst_entryscreen::emptyEstimateIsCalledBackOnce()
{
    EntryScreenFixture f;
    f.open();
    f.edit("txtEstimate")->setFocus();
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Tab);
    QCOMPARE(f.messages().texts(), QStringList{QStringLiteral("You must enter an estimate!")});
    QCOMPARE(f.messages().messages().constFirst().title, QStringLiteral("Alert"));
    QCOMPARE(QApplication::focusWidget(), f.edit("txtEstimate"));

    // An out-of-range date field: its message once, the field emptied and
    // the focus back in it.
    f.edit("txtEstimate")->setText(QStringLiteral("e"));
    f.messages().clear();
    f.type(f.widget("nbMonth"), QStringLiteral("13"));
    QTest::keyClick(f.inner("nbMonth"), Qt::Key_Tab);
    QCOMPARE(f.messages().texts(), QStringList{QStringLiteral("Number is greater than the maximum allowable value")});
    QVERIFY(f.widget("nbMonth")->property("Text").toString().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.inner("nbMonth"));
}

void tst_entryscreen::recordingFromTheEstimateSetsNoTrap()
{
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    // The estimate typed last, then Alt+E from the estimate field.
    f.type(f.edit("txtEstimate"), QStringLiteral("110(1)115"));
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_E, Qt::AltModifier);
    // An access key clicks its button a moment later.
    QTRY_COMPARE(f.screen()->totalobs(), 1);
    QCOMPARE(QApplication::focusWidget(), f.edit("txtEstimate"));

    // The next click goes where it is aimed, with no alert.
    QTest::mouseClick(f.edit("txtNotes"), Qt::LeftButton);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(QApplication::focusWidget(), f.edit("txtNotes"));

    // Emptied by the observer, the estimate is called back again.
    f.type(f.edit("txtEstimate"), QStringLiteral("x"));
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Backspace);
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Tab);
    QCOMPARE(f.messages().texts(), QStringList{QStringLiteral("You must enter an estimate!")});
}

void tst_entryscreen::accessKeyRunsTheFieldRulesFirst()
{
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    f.type(f.edit("nbComp2"), QStringLiteral("11.5"));
    QTest::keyClick(f.edit("nbComp2"), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(f.screen()->totalobs(), 1);
    QVERIFY2(f.report().endsWith("ss cyg|2458124.3958|11.2|na|110|115|1896|na\r\n"), f.report().constData());

    f.fillExample();
    f.type(f.widget("nbMonth"), QStringLiteral("13"));
    QTest::keyClick(f.inner("nbMonth"), Qt::Key_E, Qt::AltModifier);
    QCOMPARE(f.messages().texts(), QStringList{QStringLiteral("Number is greater than the maximum allowable value")});
    QVERIFY(!f.button("cmdEnter")->isDown());
    QCOMPARE(QApplication::focusWidget(), f.inner("nbMonth"));
    QCOMPARE(f.screen()->totalobs(), 1);
}

void tst_entryscreen::countCodesAndFainterThanCanBeSeen()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    f.fillExample();
    f.enter();
    auto *count = qobject_cast<QLabel *>(f.widget("lblObs"));
    QCOMPARE(count->text(), QStringLiteral("Total number of observations: 1"));
    QVERIFY(count->isVisible());
    for (const char *name : {"cmdDBform", "cmdHelp", "cmdEnter"})
        QVERIFY2(!count->geometry().intersects(f.widget(name)->geometry()), name);

    auto *codes = screen->findChild<QListWidget *>(QStringLiteral("ddCommentcodes"));
    QVERIFY(codes->visualItemRect(codes->item(4)).bottom() < codes->viewport()->height());
    for (const char *name : {"lblPrevious", "rtbObs", "txtNotes", "cmdClearcode"})
        QVERIFY2(!codes->geometry().intersects(f.widget(name)->geometry()), name);
    codes->setCurrentRow(2);
    QTest::mouseClick(f.button("cmdClearcode"), Qt::LeftButton);
    QVERIFY(codes->selectedItems().isEmpty());
    QCOMPARE(codes->count(), 11);

    QVERIFY(f.widget("chkFainterthan")->height() >= f.widget("txtMagn")->height());
    QTest::mouseClick(f.widget("chkFainterthan"), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(qobject_cast<QCheckBox *>(f.widget("chkFainterthan"))->isChecked());
}

void tst_entryscreen::f11SwitchesFullScreen()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    QTest::keyClick(screen, Qt::Key_F11);
    QTRY_VERIFY(screen->windowState().testFlag(Qt::WindowFullScreen));
    QTest::keyClick(screen, Qt::Key_F11);
    QTRY_VERIFY(!screen->windowState().testFlag(Qt::WindowFullScreen));
}

void tst_entryscreen::enteringAFieldSelectsItsText()
{
    EntryScreenFixture f;
    f.open();
    f.edit("txtMagn")->setText(QStringLiteral("11.2"));
    f.inner("nbMinute")->setText(QStringLiteral("59"));
    f.edit("txtEstimate")->setText(QStringLiteral("e"));
    f.edit("txtEstimate")->setFocus();
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.edit("txtMagn"));
    QTRY_COMPARE(f.edit("txtMagn")->selectedText(), QStringLiteral("11.2"));
    QTest::keyClicks(f.edit("txtMagn"), QStringLiteral("9.8"));
    QCOMPARE(f.edit("txtMagn")->text(), QStringLiteral("9.8"));

    // Date fields too, except the year.
    QTest::mouseClick(f.inner("nbMinute"), Qt::LeftButton);
    QTRY_COMPARE(f.inner("nbMinute")->selectedText(), QStringLiteral("59"));
    f.inner("nbYear")->setText(QStringLiteral("2020"));
    f.inner("nbYear")->setCursorPosition(4);
    QTest::mouseClick(f.inner("nbYear"), Qt::LeftButton, {}, QPoint(f.inner("nbYear")->width() - 3, 10));
    QCoreApplication::processEvents();
    QVERIFY(f.inner("nbYear")->selectedText().isEmpty());
}

void tst_entryscreen::threeRecordingsInOrder()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    QByteArray expected = observerHeader;
    for (int minute : {10, 20, 30}) {
        f.type(f.edit("txtStar"), QStringLiteral("ss cyg"));
        f.setDate(2018, 1, 5, 21, minute);
        f.type(f.edit("txtEstimate"), QStringLiteral("e"));
        f.type(f.edit("txtMagn"), QStringLiteral("11.%1").arg(minute / 10));
        f.enter();
        QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
        expected += QStringLiteral("ss cyg|%1|11.%2|na|na|na|na|na\r\n")
                        .arg(minute == 10       ? QStringLiteral("2458124.3819")
                                 : minute == 20 ? QStringLiteral("2458124.3889")
                                                : QStringLiteral("2458124.3958"))
                        .arg(minute / 10)
                        .toLatin1();
        QCOMPARE(screen->findChild<QLabel *>(QStringLiteral("lblObs"))->text(),
                 QStringLiteral("Total number of observations: %1").arg(minute / 10));
    }
    QCOMPARE(f.report(), expected);
    QCOMPARE(f.cumobsRows().size(), 3);
    QCOMPARE(screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))->toPlainText(),
             QString::fromLatin1(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void tst_entryscreen::dayFileContinuedOnSecondOpening()
{
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    f.enter();
    const QString path = f.reportPath();
    f.close();
    QTRY_VERIFY(!f.screen());
    // The header changed meanwhile: the day's file keeps the one it began with.
    f.folder().write(QStringLiteral("header.txt"), "#TYPE=Visual\r\n#OBSCODE=NEW\r\n");

    observe::frmEntryscreen *again = f.open();
    QVERIFY(again);
    QCOMPARE(again->todaysfile(), path);
    QCOMPARE(f.report(), observerHeader + exampleLine);
    f.fillExample();
    f.enter();
    QCOMPARE(f.report(), observerHeader + exampleLine + exampleLine);
    QCOMPARE(again->totalobs(), 1);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

void tst_entryscreen::apostropheInStarName()
{
    EntryScreenFixture f;
    {
        store::Database db(f.folder().programFolder());
        QVERIFY(store::addChart(
            db, {QStringLiteral("o'hara's star"), {}, QStringLiteral("yes"), {}, {}, QStringLiteral("and")}));
    }
    observe::frmEntryscreen *screen = f.open();
    f.chooseStar(QStringLiteral("And"), QStringLiteral("o'hara's star"));
    QCOMPARE(screen->selstar(), QStringLiteral("o'hara's star"));
    f.fillExample();
    f.type(f.edit("txtStar"), QStringLiteral("o'hara's star"));
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader + "o'hara's star|2458124.3958|11.2|na|110|115|1896|na\r\n");
    QCOMPARE(f.cumobsRows(), QStringList{QStringLiteral("o'hara's star|11.2|110(1)115|2458124.3958|na|na|1896")});
}

void tst_entryscreen::refusalsLeaveEverythingUntouched_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("empty year") << "nbYear"
                                << ""
                                << "Year";
    QTest::newRow("pasted letters in month") << "nbMonth"
                                             << "1a"
                                             << "Month";
    QTest::newRow("empty minute") << "nbMinute"
                                  << ""
                                  << "Minute";
    QTest::newRow("no star") << "txtStar"
                             << ""
                             << "Star";
    QTest::newRow("star not in catalogue") << "txtStar"
                                           << "xx cyg"
                                           << "xx cyg";
    QTest::newRow("estimate too long") << "txtEstimate" << QString(16, QLatin1Char('e')) << "Estimate";
    QTest::newRow("magnitude too long") << "txtMagn"
                                        << "12345678.90"
                                        << "Magn";
    QTest::newRow("chart too long") << "txtChartid" << QString(31, QLatin1Char('c')) << "Chart ID";
    QTest::newRow("notes outside the code page") << "txtNotes"
                                                 << "\u4e2d"
                                                 << "Notes";
    QTest::newRow("separator in notes") << "txtNotes"
                                        << "a|b"
                                        << "Notes";
    QTest::newRow("point forgotten in the magnitude") << "txtMagn"
                                                      << "112.0"
                                                      << "decimal point";
    QTest::newRow("tab in the chart") << "txtChartid"
                                      << "18\t96"
                                      << "U+0009";
}

void tst_entryscreen::refusalsLeaveEverythingUntouched()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    const QByteArray database = f.folder().read(QStringLiteral("starcharts.mdb"));
    // Set as a paste would, past the keyboard's filters.
    QWidget *target = f.widget(field.toLatin1().constData());
    target->setProperty(qobject_cast<QLineEdit *>(target) ? "text" : "Text", text);
    f.enter();

    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY2(f.messages().messages().constFirst().text.contains(named), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader);
    QCOMPARE(f.folder().read(QStringLiteral("starcharts.mdb")), database);
    QCOMPARE(target->property(qobject_cast<QLineEdit *>(target) ? "text" : "Text").toString(), text);
    QCOMPARE(f.edit("txtMagn")->text(), field == QStringLiteral("txtMagn") ? text : QStringLiteral("11.2"));
    QCOMPARE(f.screen()->totalobs(), 0);
    // The focus waits in the field to correct.
    QCOMPARE(QApplication::focusWidget(), target->focusProxy() ? target->focusProxy() : target);
}

void tst_entryscreen::reportWriteFailureStoresNothing()
{
    EntryScreenFixture f;
    f.open();
    {
        ReadOnlyGuard lockedFolder(f.folder().file(QStringLiteral("obs")));
        ReadOnlyGuard lockedFile(f.reportPath());
        if (!lockedFile.ok())
            QSKIP("this file system cannot refuse writing a file");
        f.fillExample();
        f.enter();
    }

    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY2(f.messages().messages().constFirst().text.contains(f.reportPath()), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader);
    QVERIFY(f.cumobsRows().isEmpty());
    QCOMPARE(f.edit("txtEstimate")->text(), QStringLiteral("110(1)115"));
}

void tst_entryscreen::databaseFailureWritesNoLine()
{
    EntryScreenFixture f;
    f.open();
    const QString database = f.folder().file(QStringLiteral("starcharts.mdb"));
    {
        // The catalogue can still be read, but no row can be added.
        ReadOnlyGuard locked(database);
        if (!locked.ok())
            QSKIP("this file system cannot refuse writing a file");
        f.fillExample();
        f.enter();
    }

    QCOMPARE(f.messages().messages().size(), 1);
    const QString message = f.messages().messages().constFirst().text;
    QVERIFY2(message.contains(database) && message.contains(QStringLiteral("permission denied")), qPrintable(message));
    QCOMPARE(f.report(), observerHeader);
    QVERIFY(f.cumobsRows().isEmpty());
    QCOMPARE(f.screen()->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))->toPlainText(),
             QString::fromLatin1(observerHeader).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(f.edit("txtStar")->text(), QStringLiteral("ss cyg"));
    QCOMPARE(f.screen()->totalobs(), 0);
}

void tst_entryscreen::viewShowsTheLinesOfOtherWindows()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    // Another window records into the same report meanwhile.
    const QByteArray other = "r cas|2458124.5|9.0|na|na|na|na|na\r\n";
    QFile report(f.reportPath());
    QVERIFY(report.open(QIODevice::Append));
    report.write(other);
    report.close();

    f.fillExample();
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader + other + exampleLine);
    QCOMPARE(screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))->toPlainText(),
             QString::fromLatin1(f.report()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void tst_entryscreen::unpairedLinesAreNamedOnOpening()
{
    EntryScreenFixture f;
    f.open();
    f.fillExample();
    f.enter();
    f.close();
    QTRY_VERIFY(!f.screen());
    // A crash between a line and its row leaves the line alone.
    const QByteArray orphan = "r cas|2458124.5|<9.0|na|na|na|na|na\r\n";
    // Not of eight fields: no observation, whatever put it there.
    const QByteArray stray = "\x89PNG|\x1a\r\n";
    const QString path = appfiles::Folder(f.folder().path()).report(QDate::currentDate());
    QFile report(path);
    QVERIFY(report.open(QIODevice::Append));
    report.write(orphan + stray);
    report.close();

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^shown: Report lines without their")));
    f.messages().queueAnswer(QMessageBox::No);
    QVERIFY(f.launch());
    QCOMPARE(f.messages().messages().size(), 1);
    const hostkit::Message &named = f.messages().messages().constFirst();
    QCOMPARE(named.title, QStringLiteral("Report lines without their observation"));
    QVERIFY2(named.text.contains(QStringLiteral("r cas|2458124.5|<9.0|na|na|na|na|na")), qPrintable(named.text));
    QVERIFY2(!named.text.contains(QStringLiteral("ss cyg")) && !named.text.contains(QStringLiteral("PNG")),
             qPrintable(named.text));
    // Nothing is changed without the observer.
    QCOMPARE(f.report(), observerHeader + exampleLine + orphan + stray);
    QCOMPARE(f.cumobsRows().size(), 1);

    // Said yes to, the notice withdraws the line without its observation, and nothing else.
    f.close();
    QTRY_VERIFY(!f.screen());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^shown: Report lines without their")));
    f.messages().queueAnswer(QMessageBox::Yes);
    QVERIFY(f.launch());
    QCOMPARE(f.report(), observerHeader + exampleLine + stray);
    QCOMPARE(f.cumobsRows().size(), 1);
}

void tst_entryscreen::correctAndWithdrawTheLastLine()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = f.open();
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    f.fillExample();
    f.enter();
    // From inside a field, with the access key: the report's cursor is below its last line.
    f.edit("txtNotes")->setFocus();
    QTest::keyClick(f.edit("txtNotes"), Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(f.edit("txtEstimate")->text(), QStringLiteral("110(1)115"));
    QCOMPARE(f.edit("nbComp2")->text(), QStringLiteral("115"));
    QCOMPARE(f.widget("nbMinute")->property("Text").toString(), QStringLiteral("30"));
    QVERIFY(screen->findChild<QLabel *>(QStringLiteral("lblCorrecting"))->isVisible());
    f.type(f.edit("txtMagn"), QStringLiteral("11.5"));
    QTest::keyClick(f.edit("txtMagn"), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(f.report(), observerHeader + "ss cyg|2458124.3958|11.5|na|110|115|1896|na\r\n");
    QCOMPARE(f.cumobsRows(), QStringList{QStringLiteral("ss cyg|11.5|110(1)115|2458124.3958|na|na|1896")});
    QCOMPARE(screen->totalobs(), 1);
    QVERIFY(f.edit("txtMagn")->text().isEmpty());
    QVERIFY(screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))->toPlainText().contains(u"|11.5|"));

    // Withdrawn after one question: the line and its row together.
    f.messages().queueAnswer(QMessageBox::Yes);
    QTest::keyClick(f.edit("txtNotes"), Qt::Key_W, Qt::AltModifier);
    QTRY_COMPARE(f.report(), observerHeader);
    QCOMPARE(f.cumobsRows(), QStringList());
    QCOMPARE(f.messages().messages().size(), 1);
}

void tst_entryscreen::unusableHeaderIsExplained_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("binary") << QByteArray("#TYPE=Visual\r\n\x89PNG\r\n\x1a\n");
}

void tst_entryscreen::unusableHeaderIsExplained()
{
    QFETCH(QByteArray, header);
    EntryScreenFixture f;
    QFile::remove(f.folder().file(QStringLiteral("header.txt")));
    if (!header.isNull())
        f.folder().write(QStringLiteral("header.txt"), header);
    observe::frmEntryscreen *screen = f.launch();
    QVERIFY(screen);
    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY(f.messages().messages().constFirst().text.contains(QStringLiteral("header.txt")));
    // The open editor comes forward, so the observer can save a header at once.
    QTRY_COMPARE(QApplication::activeWindow(), screenkit::find(screenkit::Screen::HeaderEditor));
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QVERIFY(!QFile::exists(screen->todaysfile()));
    QVERIFY(screen->findChild<QPlainTextEdit *>(QStringLiteral("rtbObs"))
                ->placeholderText()
                .contains(screen->todaysfile()));

    // No report without its header: the observation waits in the fields.
    f.messages().clear();
    f.fillExample();
    f.enter();
    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY(!QFile::exists(screen->todaysfile()));
    QVERIFY(f.cumobsRows().isEmpty());

    // Once the header is saved, the same entry goes through.
    f.messages().clear();
    f.folder().write(QStringLiteral("header.txt"), observerHeader);
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.report(), observerHeader + exampleLine);
}

void tst_entryscreen::missingLibraryIsExplained()
{
    EntryScreenFixture f(false);
    observe::frmEntryscreen *screen = f.open();
    QVERIFY(screen);
    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY2(f.messages().messages().constFirst().text.contains(f.folder().file(QStringLiteral("libferrow.so"))),
             qPrintable(f.messages().dump()));
    QVERIFY(!f.widget("nbYear"));

    f.messages().clear();
    f.type(f.edit("txtStar"), QStringLiteral("ss cyg"));
    f.type(f.edit("txtEstimate"), QStringLiteral("e"));
    f.type(f.edit("txtMagn"), QStringLiteral("1.0"));
    f.enter();
    QCOMPARE(f.messages().messages().size(), 1);
    QCOMPARE(f.report(), observerHeader);
}

void tst_entryscreen::foreignDatabaseIsReportedWhenNeeded()
{
    EntryScreenFixture f;
    const QByteArray foreign = QByteArray("not a catalogue of charts\x00\xff", 27).repeated(64);
    f.folder().write(QStringLiteral("starcharts.mdb"), foreign);
    f.open();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));

    f.chooseStar(QStringLiteral("Cyg"), {});
    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY2(f.messages().messages().constFirst().text.contains(f.folder().file(QStringLiteral("starcharts.mdb"))),
             qPrintable(f.messages().dump()));

    f.messages().clear();
    f.fillExample();
    f.enter();
    QCOMPARE(f.messages().messages().size(), 1);
    QVERIFY(f.messages().messages().constFirst().text.contains(QStringLiteral("not a database this program can use")));
    QCOMPARE(f.report(), observerHeader);
    QCOMPARE(f.folder().read(QStringLiteral("starcharts.mdb")), foreign);
}

void tst_entryscreen::realMessageBoxesNeverLoop()
{
    EntryScreenFixture f;
    f.open();
    // Real modal boxes, each closed as soon as it shows.
    const hostkit::MessageHandler recorder = hostkit::messageHandler();
    hostkit::setMessageHandler({});
    QStringList shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, &closer, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown.append(box->text());
            box->accept();
        }
    });
    closer.start(20);

    // Empty estimate left for an empty magnitude; out-of-range month left for
    // an empty day (which is out of range itself).
    f.edit("txtEstimate")->setFocus();
    QTest::keyClick(f.edit("txtEstimate"), Qt::Key_Tab);
    QTRY_COMPARE(shown.size(), 1);
    // No second box follows from closing the first.
    QVERIFY(!QTest::qWaitFor([&] { return shown.size() > 1; }, 200));
    f.screen()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.screen()));
    f.inner("nbMonth")->setFocus();
    f.inner("nbMonth")->setText(QStringLiteral("13"));
    QTest::keyClick(f.inner("nbMonth"), Qt::Key_Tab);
    QTRY_COMPARE(shown.size(), 2);
    QVERIFY(!QTest::qWaitFor([&] { return shown.size() > 2; }, 300));
    hostkit::setMessageHandler(recorder);

    QCOMPARE(shown,
             (QStringList{QStringLiteral("You must enter an estimate!"),
                          QStringLiteral("Number is greater than the maximum allowable value")}));
    QTRY_COMPARE(f.screen()->focusWidget(), f.inner("nbMonth"));
}

void tst_entryscreen::helpAsksForTheObservationTopic()
{
    EntryScreenFixture f;
    QVERIFY(QFile::copy(QStringLiteral(HELP_FILE), f.folder().file(QStringLiteral("quillon.html"))));
    f.open();
    QTest::mouseClick(f.button("cmdHelp"), Qt::LeftButton);
    QTRY_COMPARE(shownHelpTopic(), QStringLiteral("1002"));
    closeHelp();
}

QTEST_MAIN(tst_entryscreen)
#include "tst_entryscreen.moc"
