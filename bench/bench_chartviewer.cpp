// SPDX-License-Identifier: GPL-2.0-or-later
// What "get Chart" costs a prolific observer: the summary's lookup among
// 1,000,000 observations, the night filter on a large chart against the
// toolkit's own inversion, the whole button against loading the chart, and
// the button's time and peak memory on the largest scan it shows.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "hostkit/messageseam.h"
#include "observe/chartviewer.h"
#include "observe/frmentryscreen.h"
#include "observe/nightfilter.h"
#include "observe/previous.h"
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/lookupindexes.h"
#include "tests/support/sqlfile.h"
#include "tests/support/testcharts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace
{
constexpr int observations = 1'000'000;
constexpr int stars = 500;

void fill(const appfiles::Folder &folder)
{
    benchkit::makeDatabase(
        folder, stars,
        [](int i) {
            return benchkit::Star{QStringLiteral("star %1").arg(i),
                                  i % 2 ? QStringLiteral("cyg") : QStringLiteral("lyr"), QStringLiteral("big.gif")};
        },
        observations, [](int i) { return QStringLiteral("star %1").arg(i % stars); });
}

void summaryLookup(const appfiles::Folder &folder)
{
    const auto lookup = [&](const char *star) {
        return
            [&folder, star] { static_cast<void>(observe::modEntryscreen::newestObsdate(folder, QLatin1String(star))); };
    };
    benchkit::print("summary lookup, a star with 2,000 observations (median)",
                    benchkit::medianMs(201, lookup("star 123")));
    benchkit::print("summary lookup, a star with none (median)", benchkit::medianMs(201, lookup("ss cyg")));
    // As an earlier version left the file.
    runSql(folder.database(),
           {QStringLiteral("DROP INDEX cumobs_star_obsdate"), QStringLiteral("DROP INDEX cumobs_obsdate")});
    benchkit::print("the same without the lookup indexes (median)", benchkit::medianMs(11, lookup("star 123")));
    QElapsedTimer timer;
    timer.start();
    if (const auto indexed = store::addLookups(folder); !indexed)
        std::fprintf(stderr, "%s\n", qPrintable(indexed.problem().message));
    benchkit::print("indexing 1,000,000 observations once at start-up", timer.nsecsElapsed() / 1e6);
}

void nightFilter()
{
    // A chart whose left column changes 200 times between white and black.
    QImage chart(6000, 6000, QImage::Format_RGB32);
    chart.fill(Qt::white);
    for (int y = 0; y < chart.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(chart.scanLine(y));
        if ((y / 30) % 2)
            line[0] = qRgb(0, 0, 0);
        for (int x = 7; x < chart.width(); x += 97)
            line[x] = qRgb(0, 0, 0);
    }
    std::printf("\nedge scan of the 6000 x 6000 chart: %d applications\n", observe::modProcesses::edgescan(chart));
    // Each run on a fresh copy of the same chart, the copy not timed.
    QImage work;
    const auto fresh = [&] {
        work = chart;
        work.detach();
    };
    const double filter = benchkit::medianMs(
        9, [&] { observe::modProcesses::nightfilter(work, observe::modProcesses::edgescan(work)); }, fresh);
    const double invert = benchkit::medianMs(
        9, [&] { work.invertPixels(); }, fresh);
    benchkit::print("edge scan and night filter, 6000 x 6000 (median)", filter);
    benchkit::print("QImage::invertPixels, 6000 x 6000 (median)", invert);
    std::printf("%-62s %9.2f\n", "ratio", filter / invert);
}

// The resident memory's peak since it was last reset, in MB (Linux).
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    clear.open(QIODevice::WriteOnly);
    clear.write("5");
}

void showFile(const appfiles::Folder &folder, const QString &file, QPushButton *button)
{
    store::Database db(folder);
    const QString star = QStringLiteral("star 123");
    store::ChartRow row = store::chartOf(db, star).valueOr(std::nullopt).value_or(store::ChartRow{});
    row.picturefile = file;
    if (const auto changed = store::changeChart(db, star, row); !changed)
        std::fprintf(stderr, "%s\n", qPrintable(changed.problem().message));
    if (button)
        button->click();
}

// An A4 chart scanned at 600 dots per inch and more, the largest the viewer
// shows, in colour and in grey as scanners save it.
void largestScan(const appfiles::Folder &folder, QPushButton *button)
{
    const QString colour = folder.charts().file(QStringLiteral("scan.png")).value();
    const QString grey = folder.charts().file(QStringLiteral("scan-grey.png")).value();
    {
        const QImage scan = blackOnWhiteChart(observe::modEntryscreen::largestPictureWidth,
                                              observe::modEntryscreen::largestPictureHeight);
        scan.save(colour);
        scan.convertToFormat(QImage::Format_Grayscale8).save(grey);
    }
    for (const QString &path : {colour, grey}) {
        const QString file = QFileInfo(path).fileName();
        QList<double> peaks;
        double before = 0;
        // Each press from the small chart shown, as when the observer moves on to the scan.
        const double whole = benchkit::medianMs(
            5,
            [&] {
                button->click();
                peaks.append(peakMb());
            },
            [&] {
                showFile(folder, QStringLiteral("big.gif"), button);
                showFile(folder, file, nullptr);
                resetPeak();
                before = peakMb();
            });
        std::sort(peaks.begin(), peaks.end());
        std::printf("\n%s, 7000 x 10000 pixels, %.1f MB; resident before the press %.0f MB\n", qPrintable(file),
                    QFileInfo(path).size() / 1e6, before);
        benchkit::print("get Chart on it, end to end (median of 5)", whole);
        std::printf("%-62s %9.0f MB\n", "peak resident memory during the press (median)", peaks.at(peaks.size() / 2));
    }
}

void getChart(const appfiles::Folder &folder)
{
    const QString path = folder.charts().file(QStringLiteral("big.gif")).value();
    QFile gif(path);
    gif.open(QIODevice::WriteOnly);
    gif.write(gifBytes(blackOnWhiteChart(2000, 2000)));
    gif.close();
    QFile::copy(QStringLiteral(FERROW_LIBRARY), folder.path() + QStringLiteral("/libferrow.so"));
    QDir().mkpath(folder.reports().path());
    QFile header(folder.header());
    header.open(QIODevice::WriteOnly);
    header.write("#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n");
    header.close();

    QStringList messages;
    hostkit::setMessageHandler([&messages](const hostkit::Message &m) {
        messages.append(m.text);
        return QMessageBox::Ok;
    });
    observe::frmEntryscreen screen(folder);
    screen.show();
    QCoreApplication::processEvents();
    auto *grid = screen.findChild<QTableWidget *>(QStringLiteral("MSFlexGrid1"));
    QTableWidgetItem *cygnus = grid->findItems(QStringLiteral("Cyg"), Qt::MatchExactly).value(0);
    grid->setCurrentItem(cygnus);
    emit grid->cellClicked(cygnus->row(), cygnus->column());
    auto *list = screen.findChild<QListWidget *>(QStringLiteral("ddStars"));
    list->setCurrentItem(list->findItems(QStringLiteral("star 123"), Qt::MatchExactly).value(0));
    auto *button = screen.findChild<QPushButton *>(QStringLiteral("cmdChart"));

    const double load = benchkit::medianMs(15, [&] { QImageReader(path).read(); });
    QElapsedTimer painting;
    QList<double> paints;
    const double whole = benchkit::medianMs(15, [&] {
        button->click();
        painting.start();
        QCoreApplication::processEvents();
        paints.append(painting.nsecsElapsed() / 1e6);
    });
    std::sort(paints.begin(), paints.end());
    std::printf("\n");
    benchkit::print("loading the 2000 x 2000 GIF alone (median)", load);
    benchkit::print("get Chart end to end on it, 1,000,000 observations (median)", whole);
    benchkit::print("of which painting the screen (median)", paints.at(paints.size() / 2));
    benchkit::print("get Chart beyond the load", whole - load);
    const auto *chart = screen.findChild<QWidget *>(QStringLiteral("Picture3"));
    std::printf("chart shown %d x %d; summary \"%s\"; %lld messages\n", chart->width(), chart->height(),
                qPrintable(screen.findChild<QLabel *>(QStringLiteral("lblPrevious"))->text()),
                static_cast<long long>(messages.size()));
    largestScan(folder, button);
    hostkit::setMessageHandler({});
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    QElapsedTimer timer;
    timer.start();
    fill(folder);
    QDir().mkpath(folder.charts().path());
    std::printf("%d observations, %d stars filled in %.1f s\n\n", observations, stars, timer.elapsed() / 1000.0);

    summaryLookup(folder);
    nightFilter();
    getChart(folder);
    return 0;
}
