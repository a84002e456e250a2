// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/chartviewer.h"
#include "observe/frmentryscreen.h"
#include "observe/picturebox.h"
#include "store/charts.h"
#include "store/database.h"
#include "store/observations.h"
#include "tests/observe/entryscreenfixture.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testcharts.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <ctime>

// The chart viewer on the observation screen: the chart and finder buttons,
// the pictures' mouse handling and the summary, driven as the observer would.
class tst_chartscreen final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void chartRedOnBlackAndFieldsInUniversalTime();
    void chartNotFoundKeepsWhatWasDone();
    void finderButtonFollowsNone_data();
    void finderButtonFollowsNone();
    void summaryRefreshedByTheNextChartOnly();
    void unreadableNewestDateIsNamed();
    void finderRedOnBlackOverTheChart();
    void finderProblemsToldWithoutStalePicture_data();
    void finderProblemsToldWithoutStalePicture();
    void dragMovesEachPictureByThePointersTravel();
    void otherButtonsHideTheFinder();

private:
    // The folder with a black-on-white chart and finder chart for "ss cyg",
    // the clock at 23:59:30 UT on 31 December 2020, the screen open and
    // the star chosen.
    static observe::frmEntryscreen *openWithCharts(EntryScreenFixture &f);
    static observe::PictureBox *picture(EntryScreenFixture &f, const char *name);
    static QString dateFields(EntryScreenFixture &f);
    static void updateChart(EntryScreenFixture &f, const QString &column, const QString &value);
};

namespace
{
const QSize chartSize(700, 900);
const QSize finderSize(180, 140);

QDateTime lastMinuteOf2020()
{
    return QDateTime(QDate(2020, 12, 31), QTime(23, 59, 30), Qt::UTC);
}

bool redOnBlack(const QImage &image)
{
    return lightPixels(image) == 0 && image.pixel(0, 0) == qRgb(0, 0, 0) && image.pixel(1, 1) == qRgb(255, 0, 0);
}
}

void tst_chartscreen::initTestCase()
{
    // East of Greenwich: a stamp from the local clock would be a day and
    // five and a half hours off here.
    qputenv("TZ", "XST-5:30");
    tzset();
}

observe::frmEntryscreen *tst_chartscreen::openWithCharts(EntryScreenFixture &f)
{
    f.setClock([] { return lastMinuteOf2020().toLocalTime(); });
    QDir(f.folder().path()).mkdir(QStringLiteral("charts"));
    f.folder().write(QStringLiteral("starcharts/ss cyg.gif"),
                     gifBytes(blackOnWhiteChart(chartSize.width(), chartSize.height())));
    f.folder().write(QStringLiteral("charts/ss cyg-finder.gif"),
                     gifBytes(blackOnWhiteChart(finderSize.width(), finderSize.height())));
    observe::frmEntryscreen *screen = f.open();
    if (screen)
        f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    return screen;
}

observe::PictureBox *tst_chartscreen::picture(EntryScreenFixture &f, const char *name)
{
    return qobject_cast<observe::PictureBox *>(f.widget(name));
}

QString tst_chartscreen::dateFields(EntryScreenFixture &f)
{
    QStringList texts;
    for (const char *name : {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"})
        texts.append(f.widget(name)->property("Text").toString());
    return texts.join(QLatin1Char(' '));
}

void tst_chartscreen::updateChart(EntryScreenFixture &f, const QString &column, const QString &value)
{
    QVERIFY(SqlFile(f.folder().path())
                .exec(QStringLiteral("UPDATE Charts SET %1 = ? WHERE starname = 'ss cyg'").arg(column), {value}));
}

void tst_chartscreen::chartRedOnBlackAndFieldsInUniversalTime()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = openWithCharts(f);
    QVERIFY(screen);
    QTest::keyClick(screen, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(f.edit("txtStar")->text(), QStringLiteral("ss cyg"));
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));

    // The minute after 23:59 UT, whatever the zone of the computer.
    QCOMPARE(dateFields(f), QStringLiteral("2021 1 1 0 0"));
    QCOMPARE(f.edit("txtChartid")->text(), QStringLiteral("1896"));
    QVERIFY(f.button("cmdFinder")->isEnabled());
    QVERIFY(f.widget("lblPrevious")->isVisible());
    QCOMPARE(qobject_cast<QLabel *>(f.widget("lblPrevious"))->text(),
             QStringLiteral("No previous observations of this star."));

    // Red lines on black at the chart's own pixel size, in the black frame.
    observe::PictureBox *chart = picture(f, "Picture3");
    QCOMPARE(chart->size(), chartSize);
    QVERIFY(redOnBlack(chart->picture()));
    QCOMPARE(chart->parentWidget(), f.widget("Picture1"));
    QCOMPARE(lightPixels(grabNight(screen)), 0);

    // The observer is told the fields are in UT.
    QVERIFY(qobject_cast<QLabel *>(f.widget("Label2"))->text().contains(QStringLiteral("(UT)")));
    for (const char *name : {"nbYear", "nbMonth", "nbDay", "nbHour", "nbMinute"})
        QVERIFY2(f.inner(name)->toolTip().contains(QStringLiteral("Universal Time (UT)")), name);
}

void tst_chartscreen::chartNotFoundKeepsWhatWasDone()
{
    EntryScreenFixture f;
    QDateTime now = lastMinuteOf2020();
    f.setClock([&now] { return now; });
    QVERIFY(f.open());

    // No star chosen yet: an empty name, and the fields stamped all the same.
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QCOMPARE(f.messages().messages().size(), 1);
    const hostkit::Message message = f.messages().messages().constFirst();
    QCOMPARE(message.title, QStringLiteral("Chart not found"));
    QCOMPARE(message.text,
             QStringLiteral("No chart with the name '' in database,\nor the chart is in the wrong folder"));
    QCOMPARE(message.icon, QMessageBox::Information);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(dateFields(f), QStringLiteral("2021 1 1 0 0"));
    QVERIFY(!f.widget("lblPrevious")->isVisible());

    // A chart shown, then its file gone: the chart stays, the fields keep
    // what the earlier chart put there, the time is stamped anew.
    f.messages().clear();
    f.folder().write(QStringLiteral("starcharts/ss cyg.gif"), gifBytes(blackOnWhiteChart(50, 60)));
    f.chooseStar(QStringLiteral("Cyg"), QStringLiteral("ss cyg"));
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    const qint64 shown = picture(f, "Picture3")->picture().cacheKey();
    updateChart(f, QStringLiteral("picturefile"), QStringLiteral("ss cyg 2.gif"));
    updateChart(f, QStringLiteral("chart"), QStringLiteral("X99"));
    now = now.addSecs(3600);
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QCOMPARE(f.messages().texts(),
             QStringList{QStringLiteral(
                 "No chart with the name 'ss cyg 2.gif' in database,\nor the chart is in the wrong folder")});
    QCOMPARE(dateFields(f), QStringLiteral("2021 1 1 1 0"));
    QCOMPARE(picture(f, "Picture3")->picture().cacheKey(), shown);
    QCOMPARE(f.edit("txtChartid")->text(), QStringLiteral("1896"));

    // A file that is there but cannot be shown: the reason, in the same box.
    f.messages().clear();
    f.folder().write(QStringLiteral("starcharts/ss cyg 2.gif"), "");
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    const hostkit::Message empty = f.messages().messages().value(0);
    QVERIFY2(empty.text.contains(u"is empty") && empty.title == message.title && empty.icon == message.icon
                 && empty.buttons == message.buttons,
             qPrintable(f.messages().dump()));
}

void tst_chartscreen::finderButtonFollowsNone_data()
{
    QTest::addColumn<QString>("finderchart");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("none") << "none" << false;
    QTest::newRow("None") << "None" << true;
}

void tst_chartscreen::finderButtonFollowsNone()
{
    QFETCH(QString, finderchart);
    QFETCH(bool, enabled);
    EntryScreenFixture f;
    updateChart(f, QStringLiteral("finderchart"), finderchart);
    QVERIFY(openWithCharts(f));
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(f.button("cmdFinder")->isEnabled(), enabled);
}

void tst_chartscreen::summaryRefreshedByTheNextChartOnly()
{
    EntryScreenFixture f;
    QVERIFY(openWithCharts(f));
    auto *summary = qobject_cast<QLabel *>(f.widget("lblPrevious"));
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QCOMPARE(summary->text(), QStringLiteral("No previous observations of this star."));

    f.type(f.edit("txtEstimate"), QStringLiteral("110(1)115"));
    f.type(f.edit("txtMagn"), QStringLiteral("11.2"));
    f.enter();
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    // 0:00 UT on 1 January 2021 is Julian Date 2459215.5.
    QVERIFY(f.report().endsWith("ss cyg|2459215.5|11.2|na|na|na|1896|na\r\n"));
    QCOMPARE(summary->text(), QStringLiteral("No previous observations of this star."));

    // Its date rounds, half to even, to today's day number 2459216.
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QCOMPARE(summary->text(), QStringLiteral("Star already observed tonight"));
}

void tst_chartscreen::unreadableNewestDateIsNamed()
{
    EntryScreenFixture f;
    {
        store::Database db(f.folder().programFolder());
        store::ObservationRow row;
        row.star = QStringLiteral("SS CYG");
        row.obsdate = QStringLiteral("JD 2459100");
        QVERIFY(store::addObservation(db, row));
    }
    QVERIFY(openWithCharts(f));
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QCOMPARE(f.messages().messages().size(), 1);
    const hostkit::Message message = f.messages().messages().constFirst();
    QCOMPARE(message.title, QStringLiteral("Previous observations"));
    QVERIFY2(message.text.contains(QStringLiteral("\"ss cyg\""))
                 && message.text.contains(QStringLiteral("\"JD 2459100\"")),
             qPrintable(message.text));
    // The chart was found and is shown; no summary is made up.
    QCOMPARE(f.edit("txtStar")->text(), QStringLiteral("ss cyg"));
    QVERIFY(f.widget("lblPrevious")->isVisible());
    QVERIFY(qobject_cast<QLabel *>(f.widget("lblPrevious"))->text().isEmpty());
}

void tst_chartscreen::finderRedOnBlackOverTheChart()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = openWithCharts(f);
    QVERIFY(screen);
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QTest::keyClick(screen, Qt::Key_F, Qt::AltModifier);
    observe::PictureBox *finder = picture(f, "Picture2");
    QTRY_VERIFY(finder->isVisible());
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
    QCOMPARE(finder->size(), finderSize);
    QVERIFY(redOnBlack(finder->picture()));
    QCOMPARE(finder->parentWidget(), f.widget("Picture1"));
    // Above the chart.
    QCOMPARE(f.widget("Picture1")->childAt(finder->geometry().center()), finder);
    QCOMPARE(lightPixels(grabNight(screen)), 0);

    // A finder that is dark already is shown as it is.
    QImage dark(finderSize, QImage::Format_RGB32);
    dark.fill(qRgb(0, 0, 0));
    for (int x = 10; x < 100; ++x)
        dark.setPixel(x, 30, qRgb(200, 0, 0));
    f.folder().write(QStringLiteral("charts/ss cyg-finder.gif"), gifBytes(dark));
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    QVERIFY(finder->isVisible());
    QCOMPARE(finder->picture(), dark);

    // Dark at its left edge, light within: not filtered, and shown in shades
    // of red all the same.
    QImage light(finderSize, QImage::Format_RGB32);
    light.fill(qRgb(255, 255, 255));
    for (int y = 0; y < light.height(); ++y)
        light.setPixel(0, y, qRgb(0, 0, 0));
    f.folder().write(QStringLiteral("charts/ss cyg-finder.gif"), gifBytes(light));
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    QCOMPARE(finder->picture(), light);
    QCOMPARE(lightPixels(grabNight(finder)), 0);
}

void tst_chartscreen::finderProblemsToldWithoutStalePicture_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("told");
    QTest::newRow("no star selected") << "unselected"
                                      << "No star is selected";
    QTest::newRow("star not in the catalogue") << "no row"
                                               << "\"ss cyg\" is not in the chart catalogue";
    QTest::newRow("no finder chart") << "none"
                                     << "no finder chart for \"ss cyg\"";
    QTest::newRow("file missing") << "missing"
                                  << "does not exist";
    QTest::newRow("file cut short") << "unreadable"
                                    << "is cut short";
}

void tst_chartscreen::finderProblemsToldWithoutStalePicture()
{
    QFETCH(QString, problem);
    QFETCH(QString, told);
    EntryScreenFixture f;
    QVERIFY(openWithCharts(f));
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    QVERIFY(picture(f, "Picture2")->isVisible());

    const QString finderFile = QStringLiteral("charts/ss cyg-finder.gif");
    if (problem == QStringLiteral("unselected")) {
        f.chooseStar(QStringLiteral("Lyr"), {});
    } else if (problem == QStringLiteral("no row")) {
        store::Database db(f.folder().programFolder());
        QVERIFY(store::removeChart(db, QStringLiteral("ss cyg")));
    } else if (problem == QStringLiteral("none")) {
        updateChart(f, QStringLiteral("finderchart"), QStringLiteral("none"));
    } else if (problem == QStringLiteral("missing")) {
        QVERIFY(QFile::remove(f.folder().file(finderFile)));
    } else {
        f.folder().write(finderFile, "GIF89a, or so it says");
    }
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    QCOMPARE(f.messages().messages().size(), 1);
    QCOMPARE(f.messages().messages().constFirst().title, QStringLiteral("Finder chart"));
    QVERIFY2(f.messages().texts().constFirst().contains(told), qPrintable(f.messages().dump()));
    QVERIFY(!picture(f, "Picture2")->isVisible());
}

void tst_chartscreen::dragMovesEachPictureByThePointersTravel()
{
    EntryScreenFixture f;
    observe::frmEntryscreen *screen = openWithCharts(f);
    QVERIFY(screen);
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    observe::PictureBox *chart = picture(f, "Picture3");
    observe::PictureBox *finder = picture(f, "Picture2");
    const QPoint chartAt = chart->pos();
    const QPoint finderAt = finder->pos();

    // The chart by a point left of the finder, the finder by its own point.
    QTest::mousePress(chart, Qt::LeftButton, {}, QPoint(100, 300));
    QTest::mouseMove(chart, QPoint(130, 315));
    QCOMPARE(chart->pos(), chartAt + QPoint(30, 15));
    // The picture followed the pointer: the same point lies under it again.
    QTest::mouseMove(chart, QPoint(90, 300));
    QCOMPARE(chart->pos(), chartAt + QPoint(20, 15));
    QTest::mouseRelease(chart, Qt::LeftButton, {}, QPoint(90, 300));
    QCOMPARE(finder->pos(), finderAt);

    QTest::mousePress(finder, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(finder, QPoint(10, 45));
    QTest::mouseRelease(finder, Qt::LeftButton, {}, QPoint(10, 45));
    QCOMPARE(finder->pos(), finderAt + QPoint(-10, 25));
    QCOMPARE(chart->pos(), chartAt + QPoint(20, 15));

    // A new chart and finder stay where they were dragged, at their pixel
    // sizes, and so they do on a smaller screen.
    QTest::mouseClick(f.button("cmdChart"), Qt::LeftButton);
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    QCOMPARE(chart->pos(), chartAt + QPoint(20, 15));
    QCOMPARE(finder->pos(), finderAt + QPoint(-10, 25));
    screen->fitTo(QRect(0, 0, 1366, 768));
    QVERIFY(screen->scale() < 1.0);
    QCOMPARE(chart->size(), chartSize);
    QCOMPARE(finder->size(), finderSize);
    // Dragged by 20 and 15 pixels at full size: 300 and 225 twips from its place in the frame.
    QCOMPARE(chart->pos(), QPoint(screen->pixels(240 + 300), screen->pixels(240 + 225)));
}

void tst_chartscreen::otherButtonsHideTheFinder()
{
    EntryScreenFixture f;
    QVERIFY(openWithCharts(f));
    QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
    observe::PictureBox *finder = picture(f, "Picture2");
    finder->setCursor(Qt::OpenHandCursor);

    QTest::mouseClick(finder, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(finder->isVisible());
    // A release gives the pointer back its usual shape.
    QCOMPARE(finder->cursor().shape(), Qt::ArrowCursor);
    // A click on the chart leaves the finder alone.
    QTest::mouseClick(picture(f, "Picture3"), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(finder->isVisible());

    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(finder, button, {}, QPoint(5, 5));
        QVERIFY(!finder->isVisible());
        QTest::mouseClick(f.button("cmdFinder"), Qt::LeftButton);
        QVERIFY(finder->isVisible());
    }
    QVERIFY2(f.messages().messages().isEmpty(), qPrintable(f.messages().dump()));
}

QTEST_MAIN(tst_chartscreen)
#include "tst_chartscreen.moc"
