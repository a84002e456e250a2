// SPDX-License-Identifier: GPL-2.0-or-later
// How long the light curve of a star with 100,000 observations takes: the
// reading (the query, the index of the report files, the marks), its first
// drawing, and a redraw after a zoom or a move, in a cumobs of 500,000 rows
// and a folder "obs" of 1,000 report files.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "lightcurve/curve.h"
#include "lightcurve/curveplot.h"
#include "lightcurve/history.h"
#include "lightcurve/timeaxis.h"
#include "reports/reportindex.h"
#include "screenkit/nightmode.h"
#include "store/creation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace
{
constexpr int observations = 100'000;
constexpr int others = 400'000;
constexpr int reportFiles = 1'000;
constexpr int linesPerFile = 20;
const QString star = QStringLiteral("ss cyg");

QString dateText(int i)
{
    return QString::number(2445000.0 + i * 0.15, 'f', 4);
}

void fill(const appfiles::Folder &folder)
{
    if (const auto created = store::createDefault(folder); !created)
        std::fprintf(stderr, "%s\n", qPrintable(created.problem().message));
    QDir().mkpath(folder.reports().path());
    benchkit::addObservations(folder, observations + others, [](int i) {
        const bool ours = i % 5 == 0;
        const int n = ours ? i / 5 : i;
        const bool fainter = n % 25 == 0;
        return store::ObservationRow{ours ? star : QStringLiteral("star %1").arg(i % 499),
                                     fainter ? QStringLiteral("13.0")
                                             : QString::number(10.0 + 2.0 * std::sin(n / 40.0), 'f', 1),
                                     fainter ? QStringLiteral("<130") : QStringLiteral("98 102"),
                                     dateText(n),
                                     QStringLiteral("na"),
                                     QStringLiteral("na"),
                                     QStringLiteral("X36483DQK")};
    });

    // Half of each file's lines are of the star, with the dates of its rows.
    int line = 0;
    for (int f = 0; f < reportFiles; ++f) {
        QFile report(folder.report(QDate(2000, 1, 1).addDays(f)));
        report.open(QIODevice::WriteOnly);
        report.write("#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n");
        for (int l = 0; l < linesPerFile; ++l, ++line) {
            const QString name = l % 2 ? QStringLiteral("star 7") : star;
            report.write(
                QStringLiteral("%1|%2|10.2|na|98|102|X36483DQK|na\r\n").arg(name, dateText(line * 7)).toLatin1());
        }
    }
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Timing
{
    double wall;
    double cpu;
};

// The medians of the runs, in milliseconds: the time on the clock, and the
// processor time the program got, which a machine busy with other work
// does not stretch.
Timing measure(int runs, const std::function<void()> &work)
{
    QList<double> walls;
    QList<double> cpus;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpu = cpuMs();
        timer.start();
        work();
        walls.append(timer.nsecsElapsed() / 1e6);
        cpus.append(cpuMs() - cpu);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls.at(runs / 2), cpus.at(runs / 2)};
}

void report(const char *what, const Timing &timing, double limit)
{
    std::printf("%-56s %8.1f ms %8.1f ms   %4.0f ms\n", what, timing.wall, timing.cpu, limit);
}
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    QElapsedTimer filling;
    filling.start();
    fill(folder);
    std::printf("%d observations of %s among %d, %d report files, filled in %.1f s\n", observations, qPrintable(star),
                observations + others, reportFiles, filling.elapsed() / 1000.0);
    std::printf("%-56s %11s %11s %7s\n", "", "clock", "processor", "limit");

    lightcurve::History history;
    const Timing reading =
        measure(5, [&] { history = lightcurve::readHistory(folder, star, QDate(2000, 1, 1)).valueOr({}); });
    qsizetype recorded = 0;
    for (const lightcurve::Observation &o : history.observations)
        recorded += o.recorded ? 1 : 0;
    std::printf("read %lld observations, %lld of them recorded here, %d not drawn\n",
                static_cast<long long>(history.observations.size()), static_cast<long long>(recorded), history.undrawn);
    report("reading: the query, the index of obs/, the marks", reading, 400);
    report("  of which the index of the report files in obs/",
           measure(5, [&] { reports::ReportIndex::read(folder.reports(), star, folder.report(QDate(2000, 1, 1))); }),
           400);

    // The plot as large as the window shows it, at night as at the eyepiece.
    const screenkit::night::Hold night;
    const lightcurve::View whole = lightcurve::wholeHistory(history.observations);
    const Timing first = measure(5, [&] {
        lightcurve::CurvePlot plot(folder);
        plot.resize(984, 608);
        plot.show();
        plot.setHistory(history);
        plot.setView(whole);
        plot.repaint();
    });
    report("first drawing (a new plot, whole history, incl. construction)", first, 100);

    lightcurve::CurvePlot plot(folder);
    plot.resize(984, 608);
    plot.show();
    plot.setHistory(history);
    plot.setView(whole);
    plot.repaint();
    const Timing firstOnly = measure(5, [&] {
        plot.setHistory(history);
        plot.setView(whole);
        plot.repaint();
    });
    report("first drawing of the history (set the marks, draw)", firstOnly, 100);

    const QPoint middle = plot.axisRect()->rect().center();
    int step = 0;
    const Timing zoom = measure(21, [&] {
        QWheelEvent wheel(middle, plot.mapToGlobal(middle), QPoint(), QPoint(0, step++ % 2 ? -120 : 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&plot, &wheel);
        plot.repaint();
    });
    report("zoom redraw with the wheel, whole history in view", zoom, 50);
    const Timing pan = measure(21, [&] {
        plot.xAxis->moveRange(plot.xAxis->range().size() * (step++ % 2 ? -0.1 : 0.1));
        plot.replot();
        plot.repaint();
    });
    report("move redraw, whole history in view", pan, 50);

    const double now = lightcurve::jdOf(QDateTime(QDate(2004, 6, 1), QTime(0, 0), Qt::UTC));
    plot.setView(lightcurve::lastDays(history.observations, now, 90));
    const Timing panRecent = measure(21, [&] {
        plot.xAxis->moveRange(plot.xAxis->range().size() * (step++ % 2 ? -0.1 : 0.1));
        plot.replot();
        plot.repaint();
    });
    report("move redraw, 90 days in view", panRecent, 50);
    return 0;
}
