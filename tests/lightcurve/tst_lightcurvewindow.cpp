// SPDX-License-Identifier: GPL-2.0-or-later
// The light-curve window, driven as the observer drives it: opened from the
// observation screen, read by the hover, zoomed and moved with the mouse and
// its buttons, red on black at night, saved as PNG and PDF.
#include "tests/observe/entryscreenfixture.h"
#include "tests/support/observations.h"

#include "appfiles/folder.h"
#include "lightcurve/curveplot.h"
#include "lightcurve/frmlightcurve.h"
#include "lightcurve/timeaxis.h"
#include "observe/frmentryscreen.h"
#include "screenkit/navigation.h"
#include "screenkit/nightmode.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using screenkit::Screen;

namespace
{
const QString star = QStringLiteral("ss cyg");

QString jdText(double jd)
{
    return QString::number(jd, 'f', 4);
}

// An observer's download as the import stores it: a slow swing between
// magnitudes 8 and 12, every 25th a fainter-than at 13.0, ending yesterday.
QList<QStringList> importedHistory(int count, double years)
{
    const double end = lightcurve::jdOf(QDateTime::currentDateTimeUtc()) - 1.0;
    const double step = years * 365.25 / count;
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        const double jd = end - (count - 1 - i) * step;
        const bool fainter = i % 25 == 0;
        const double magnitude = fainter ? 13.0 : 10.0 + 2.0 * std::sin(i / 40.0);
        rows.append({star, QString::number(magnitude, 'f', 1),
                     fainter ? QStringLiteral("<130") : QStringLiteral("98 102"), jdText(jd), QStringLiteral("na"),
                     QStringLiteral("na"), QStringLiteral("X36483DQK")});
    }
    return rows;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QPoint pixelOf(lightcurve::CurvePlot *plot, double jd, double magnitude)
{
    return QPoint(qRound(plot->xAxis->coordToPixel(jd)), qRound(plot->yAxis->coordToPixel(magnitude)));
}

void wheel(QWidget *widget, const QPoint &at, int steps)
{
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}
}

class tst_lightcurvewindow final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newObserversNight();
    void axesMarksAndHover();
    void wheelDragAndRectangle();
    void buttonsAndRememberedViews();
    void emptyAndUndrawn();
    void nightColoursOnly();
    void savesViewOrWholeHistory();

private:
    lightcurve::frmLightcurve *openCurve(const QString &name);
    lightcurve::CurvePlot *plot() const;
    QPushButton *button(const char *name) const;
    QLabel *label(const char *name) const;
    // Clicks the button and answers the save dialog with the file.
    void saveThrough(const char *button, const QString &path);
    // A small history: imported, recorded here with comparison stars, a
    // fainter-than, one that cannot be drawn.
    void fillSmallHistory();

    std::unique_ptr<EntryScreenFixture> m_fixture;
};

void tst_lightcurvewindow::init()
{
    m_fixture = std::make_unique<EntryScreenFixture>();
}

void tst_lightcurvewindow::cleanup()
{
    m_fixture.reset();
}

lightcurve::frmLightcurve *tst_lightcurvewindow::openCurve(const QString &name)
{
    auto *window = qobject_cast<lightcurve::frmLightcurve *>(screenkit::show(Screen::LightCurve, name));
    return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

lightcurve::CurvePlot *tst_lightcurvewindow::plot() const
{
    return screenkit::find(Screen::LightCurve)->findChild<lightcurve::CurvePlot *>(QStringLiteral("plotCurve"));
}

QPushButton *tst_lightcurvewindow::button(const char *name) const
{
    return screenkit::find(Screen::LightCurve)->findChild<QPushButton *>(QLatin1String(name));
}

QLabel *tst_lightcurvewindow::label(const char *name) const
{
    return screenkit::find(Screen::LightCurve)->findChild<QLabel *>(QLatin1String(name));
}

void tst_lightcurvewindow::saveThrough(const char *name, const QString &path)
{
    answerFileDialog(path);
    QTest::mouseClick(button(name), Qt::LeftButton);
}

void tst_lightcurvewindow::fillSmallHistory()
{
    const QString app = m_fixture->folder().path();
    QVERIFY(insertObservations(app,
                               {
                                   {star, "9.0", "90 95", "2458100.5", "na", "na", "1896"},
                                   {"SS CYG", "10.0", "95 100", "2458110.5", "na", "na", "1896"},
                                   {star, "11.2", "110(1)115", "2458124.3958", "Z", "haze", "1896"},
                                   {star, "13.0", "<130", "2458130.5", "na", "na", "1896"},
                                   {star, "9.5", "90 100", "2458140.5", "na", "na", "1896"},
                                   {star, "faint", "?", "2458150.5", "na", "na", "1896"},
                                   {"rr lyr", "8.0", "80", "2458124.3958", "na", "na", "1"},
                               }));
    m_fixture->folder().write(QDir(app).relativeFilePath(appfiles::Folder(app).report(QDate(2018, 1, 5))),
                              "#TYPE=Visual\r\nss cyg|2458124.3958|11.2|Z|110|115|1896|haze\r\n");
}

void tst_lightcurvewindow::newObserversNight()
{
    // Ten years downloaded and imported, then two estimates tonight.
    QVERIFY(insertObservations(m_fixture->folder().path(), importedHistory(5000, 10)));
    observe::frmEntryscreen *entry = m_fixture->open();
    QVERIFY(entry);
    m_fixture->chooseStar(QStringLiteral("Cyg"), star);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const int minutesAgo : {20, 10}) {
        const QDateTime at = now.addSecs(-60 * minutesAgo);
        m_fixture->type(m_fixture->edit("txtStar"), star);
        m_fixture->setDate(at.date().year(), at.date().month(), at.date().day(), at.time().hour(), at.time().minute());
        m_fixture->type(m_fixture->edit("txtEstimate"), minutesAgo == 20 ? "98(1)102" : "not seen");
        if (minutesAgo == 10)
            QTest::mouseClick(m_fixture->widget("chkFainterthan"), Qt::LeftButton);
        m_fixture->type(m_fixture->edit("txtMagn"), minutesAgo == 20 ? "9.9" : "13.0");
        m_fixture->type(m_fixture->edit("nbComp1"), "98");
        m_fixture->type(m_fixture->edit("nbComp2"), "102");
        m_fixture->type(m_fixture->edit("txtChartid"), "X36483DQK");
        m_fixture->enter();
    }
    QCOMPARE(entry->totalobs(), 2);

    // From the observation screen, for the star chosen in the list.
    QTest::mouseClick(m_fixture->button("cmdLightcurve"), Qt::LeftButton);
    auto *window = qobject_cast<lightcurve::frmLightcurve *>(screenkit::find(Screen::LightCurve));
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->star(), star);
    QCOMPARE(window->windowTitle(), QStringLiteral("Light curve of ss cyg"));
    QCOMPARE(label("lblCount")->text(), QStringLiteral("5002 observations: 2 recorded here, 5000 imported, 2 tonight"));
    QCOMPARE(plot()->graph(3)->dataCount(), 2);
    QCOMPARE(lightPixels(grabNight(window)), 0);

    QTest::mouseClick(button("cmdLast90"), Qt::LeftButton);
    const double today = lightcurve::jdOf(now);
    QVERIFY(qAbs(plot()->xAxis->range().upper - today) < 5);
    QVERIFY(qAbs(plot()->xAxis->range().size() - 90) < 10);

    const QString pdf = m_fixture->folder().file(QStringLiteral("ss cyg, last 90 days.pdf"));
    saveThrough("cmdPdf", pdf);
    QVERIFY(run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    QVERIFY(
        run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(QStringLiteral("Light curve of ss cyg")));
    QVERIFY(m_fixture->messages().texts().isEmpty());

    // Without a star chosen the button says so.
    m_fixture->close();
    QVERIFY(m_fixture->open());
    QTest::mouseClick(m_fixture->button("cmdLightcurve"), Qt::LeftButton);
    QCOMPARE(m_fixture->messages().messages().size(), 1);
    QCOMPARE(m_fixture->messages().messages().constFirst().title, QStringLiteral("Light curve"));
}

void tst_lightcurvewindow::axesMarksAndHover()
{
    fillSmallHistory();
    lightcurve::frmLightcurve *window = openCurve(QStringLiteral("SS Cyg"));
    QVERIFY(window);
    lightcurve::CurvePlot *curve = plot();
    // Bright at the top, the whole history across, dates on the time axis.
    QVERIFY(curve->yAxis->rangeReversed());
    QVERIFY(curve->yAxis->coordToPixel(9.0) < curve->yAxis->coordToPixel(13.0));
    QVERIFY(curve->xAxis->range().lower < 2458100.5 && curve->xAxis->range().upper > 2458140.5);
    curve->replot();
    QVERIFY(!curve->xAxis->tickVectorLabels().isEmpty());
    for (const QString &tick : curve->xAxis->tickVectorLabels())
        QVERIFY2(QRegularExpression(QStringLiteral("^201[78]-\\d\\d-\\d\\d$")).match(tick).hasMatch(),
                 qPrintable(tick));
    QStringList legend;
    for (int i = 0; i < curve->legend->itemCount(); ++i)
        legend.append(static_cast<QCPPlottableLegendItem *>(curve->legend->item(i))->plottable()->name());
    QCOMPARE(legend, QStringList({"Imported", "Recorded here", "Fainter than (at the limit)", "Tonight"}));
    QCOMPARE(label("lblCount")->text(), QStringLiteral("5 observations: 1 recorded here, 4 imported"));
    QCOMPARE(label("lblUndrawn")->text(), QStringLiteral("1 observation could not be drawn"));

    auto *hover = curve->findChild<QCPItemText *>(QStringLiteral("hover"));
    QVERIFY(!hover->visible());
    QTest::mouseMove(curve, pixelOf(curve, 2458124.3958, 11.2) + QPoint(3, -2));
    QTRY_VERIFY(hover->visible());
    QCOMPARE(hover->text(),
             QStringLiteral("2018-01-05 21:30 UT\nJD 2458124.3958\nMagnitude 11.2\n"
                            "Comparison stars 110, 115\nChart 1896\nNotes haze\nRecorded here"));
    QTest::mouseMove(curve, pixelOf(curve, 2458130.5, 13.0));
    QTRY_VERIFY2(hover->text().startsWith(QStringLiteral("2018-01-12 00:00 UT\nJD 2458130.5\nFainter than 13.0\n")),
                 qPrintable(hover->text()));
    QTest::mouseMove(curve, pixelOf(curve, 2458135, 7.0));
    QTRY_VERIFY(!hover->visible());
}

void tst_lightcurvewindow::wheelDragAndRectangle()
{
    fillSmallHistory();
    QVERIFY(openCurve(star));
    lightcurve::CurvePlot *curve = plot();
    const QPoint middle = curve->axisRect()->rect().center();

    const QCPRange before = curve->xAxis->range();
    wheel(curve, middle, 2);
    QVERIFY(curve->xAxis->range().size() < before.size() * 0.7);

    const QCPRange zoomed = curve->xAxis->range();
    QTest::mousePress(curve, Qt::LeftButton, {}, middle);
    QTest::mouseMove(curve, middle + QPoint(100, 0));
    QTest::mouseRelease(curve, Qt::LeftButton, {}, middle + QPoint(100, 0));
    QVERIFY(curve->xAxis->range().lower < zoomed.lower);
    QVERIFY(qAbs(curve->xAxis->range().size() - zoomed.size()) < 1e-6);

    // Ctrl held: the rectangle dragged becomes the view.
    const QPoint from = middle - QPoint(100, 50);
    const QPoint to = middle + QPoint(60, 40);
    const double left = curve->xAxis->pixelToCoord(from.x());
    const double right = curve->xAxis->pixelToCoord(to.x());
    QTest::mousePress(curve, Qt::LeftButton, Qt::ControlModifier, from);
    QTest::mouseMove(curve, to);
    QTest::mouseRelease(curve, Qt::LeftButton, Qt::ControlModifier, to);
    QVERIFY(qAbs(curve->xAxis->range().lower - left) < 0.01 * (right - left));
    QVERIFY(qAbs(curve->xAxis->range().upper - right) < 0.01 * (right - left));
}

void tst_lightcurvewindow::buttonsAndRememberedViews()
{
    fillSmallHistory();
    QVERIFY(insertObservations(m_fixture->folder().path(), importedHistory(400, 2)));
    QVERIFY(openCurve(star));
    lightcurve::CurvePlot *curve = plot();
    const double now = lightcurve::jdOf(QDateTime::currentDateTimeUtc());

    QTest::mouseClick(button("cmdLast90"), Qt::LeftButton);
    QVERIFY(qAbs(curve->xAxis->range().upper - now) < 5 && qAbs(curve->xAxis->range().size() - 90) < 10);
    QTest::mouseClick(button("cmdWhole"), Qt::LeftButton);
    QVERIFY(curve->xAxis->range().lower < 2458100.5 && curve->xAxis->range().upper > now - 1);

    // Each star comes back as it was left, while the program runs.
    wheel(curve, curve->axisRect()->rect().center(), 3);
    const QCPRange left = curve->xAxis->range();
    QVERIFY(openCurve(QStringLiteral("rr lyr")));
    QVERIFY(curve->xAxis->range() != left);
    QVERIFY(openCurve(QStringLiteral("SS CYG")));
    QCOMPARE(curve->xAxis->range(), left);
    screenkit::find(Screen::LightCurve)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(openCurve(star));
    QCOMPARE(plot()->xAxis->range(), left);
}

void tst_lightcurvewindow::emptyAndUndrawn()
{
    QVERIFY(insertObservations(m_fixture->folder().path(),
                               {{"rr lyr", "8.0", "80", "not a date", "na", "na", "1"},
                                {"rr lyr", "n/a", "80", "2458124.4", "na", "na", "1"}}));
    QVERIFY(openCurve(star));
    QVERIFY(label("lblEmpty")->isVisible());
    QVERIFY(label("lblEmpty")->text().startsWith(QStringLiteral("There are no observations of \"ss cyg\" yet.")));
    QVERIFY(!plot()->isVisible());
    QVERIFY(!button("cmdPdf")->isEnabled());
    QCOMPARE(label("lblCount")->text(), QStringLiteral("0 observations"));

    QVERIFY(openCurve(QStringLiteral("rr lyr")));
    QCOMPARE(label("lblEmpty")->text(), QStringLiteral("None of the observations of \"rr lyr\" can be drawn."));
    QCOMPARE(label("lblUndrawn")->text(), QStringLiteral("2 observations could not be drawn"));
}

void tst_lightcurvewindow::nightColoursOnly()
{
    fillSmallHistory();
    m_fixture->folder().write(
        QDir(m_fixture->folder().path())
            .relativeFilePath(appfiles::Folder(m_fixture->folder().path()).report(QDate::currentDate())),
        "#TYPE=Visual\r\nss cyg|2458140.5|9.5|na|90|100|1896|na\r\n");
    lightcurve::frmLightcurve *window = nullptr;
    {
        const screenkit::night::Hold night;
        window = openCurve(star);
        QVERIFY(window);
        // Every mark, the legend, a tonight's ring and the hover over it.
        QTest::mouseMove(plot(), pixelOf(plot(), 2458140.5, 9.5));
        QTRY_VERIFY(plot()->findChild<QCPItemText *>(QStringLiteral("hover"))->visible());
        const QImage image = grabNight(window);
        if (lightPixels(image) > 0)
            image.save(QStringLiteral("light-lightcurve.png"));
        QCOMPARE(lightPixels(image), 0);

        // The save dialog is the toolkit's own, so that it is dark too.
        int dialogLight = -1;
        QTimer::singleShot(0, this, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                dialogLight = lightPixels(grabNight(dialog));
                dialog->reject();
            }
        });
        QTest::mouseClick(button("cmdPng"), Qt::LeftButton);
        QCOMPARE(dialogLight, 0);
    }
    // By day the plot has colours of its own again.
    QTRY_VERIFY(lightPixels(plot()->grab().toImage()) > 0);
}

void tst_lightcurvewindow::savesViewOrWholeHistory()
{
    fillSmallHistory();
    QVERIFY(insertObservations(m_fixture->folder().path(), {{star, "8.5", "85 90", "2451545.5", "na", "na", "1896"}}));
    QVERIFY(openCurve(star));
    lightcurve::CurvePlot *curve = plot();
    curve->setView({{2458090, 2458160}, {8, 14}});

    const QString png = m_fixture->folder().file(QStringLiteral("view.png"));
    saveThrough("cmdPng", png);
    const QImage picture(png);
    QCOMPARE(picture.size(), QSize(2400, 1500));

    // The view: the weeks of 2018 only; the whole history reaches back to 2000.
    const QString view = m_fixture->folder().file(QStringLiteral("view.pdf"));
    saveThrough("cmdPdf", view);
    const QString viewText = run(QStringLiteral("pdftotext"), {view, QStringLiteral("-")});
    QVERIFY2(viewText.contains(QStringLiteral("2018-01-")), qPrintable(viewText));
    QVERIFY(!viewText.contains(QStringLiteral("2000")));
    QTest::mouseClick(screenkit::find(Screen::LightCurve)->findChild<QCheckBox *>(QStringLiteral("chkWholeHistory")),
                      Qt::LeftButton);
    const QString whole = m_fixture->folder().file(QStringLiteral("whole.pdf"));
    saveThrough("cmdPdf", whole);
    const QString wholeText = run(QStringLiteral("pdftotext"), {whole, QStringLiteral("-")});
    QVERIFY2(wholeText.contains(QStringLiteral("2000")) && wholeText.contains(QStringLiteral("Magnitude")),
             qPrintable(wholeText));
    const QString info = run(QStringLiteral("pdfinfo"), {whole});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Light curve of ss cyg\n"))), qPrintable(info));
    // Drawn as shapes and text: no picture in it.
    const QStringList images =
        run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), whole}).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(images.size(), 2);
    // The window keeps its own view.
    QCOMPARE(curve->xAxis->range(), QCPRange(2458090, 2458160));
    QVERIFY(m_fixture->messages().texts().isEmpty());
}

QTEST_MAIN(tst_lightcurvewindow)
#include "tst_lightcurvewindow.moc"
