// SPDX-License-Identifier: GPL-2.0-or-later
// How long the observer waits, with a catalogue of 500 stars and a heavy
// observer's 1,000,000 observations in cumobs.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "observe/modentryscreen.h"
#include "observe/reportfile.h"
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/observations.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{
constexpr int observations = 1'000'000;
constexpr int stars = 500;
constexpr int reportLines = 2'000;
constexpr int recordings = 200;

void fill(const appfiles::Folder &folder)
{
    benchkit::makeDatabase(
        folder, stars,
        [](int i) {
            return benchkit::Star{QStringLiteral("star %1").arg(i),
                                  i % 2 ? QStringLiteral("cyg") : QStringLiteral("lyr"), QStringLiteral("star.gif")};
        },
        observations, [](int i) { return QStringLiteral("star %1").arg(i % stars); });
}

// The recording as it was before it was made safe: the same checks, lookup,
// line and row, but the line appended without lock or flush and the row
// committed on its own.
bool unsafeRecording(const appfiles::Folder &folder, const QString &report,
                     const observe::modEntryscreen::ObservationTexts &texts)
{
    if (!observe::modEntryscreen::checkObservation(texts, QDateTime::currentDateTimeUtc()))
        return false;
    store::Database db(folder);
    const auto chart = store::chartOf(db, texts.star);
    if (!chart || !*chart)
        return false;
    const auto recording =
        observe::modEntryscreen::makeRecording(texts, observe::modEntryscreen::isNightly((*chart)->nightly));
    QFile file(report);
    if (!file.open(QIODevice::Append))
        return false;
    file.write(recording.line.toLatin1() + "\r\n");
    file.close();
    return bool(store::addObservation(db, recording.row));
}

// How long a line stands in the report before its row is committed: the
// window in which a kill leaves the line without its row.
double unpairedWindow(const appfiles::Folder &folder, const QString &report,
                      const observe::modEntryscreen::ObservationTexts &texts)
{
    store::Database db(folder);
    const auto recording = observe::modEntryscreen::makeRecording(texts, false);
    observe::modEntryscreen::ReportAppender appender(report);
    static_cast<void>(appender.lock(QDeadlineTimer(1000)));
    static_cast<void>(db.begin(std::chrono::milliseconds(1000)));
    static_cast<void>(store::addObservation(db, recording.row));
    QElapsedTimer timer;
    timer.start();
    static_cast<void>(appender.append(recording.line));
    static_cast<void>(db.commit());
    return timer.nsecsElapsed() / 1e6;
}

void measure(const char *what, int runs, const std::function<void()> &work)
{
    benchkit::print(what, benchkit::averageMs(runs, work));
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    QElapsedTimer timer;
    timer.start();
    fill(folder);
    QDir().mkpath(folder.reports().path());
    QFile header(folder.header());
    header.open(QIODevice::WriteOnly);
    header.write("#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n");
    header.close();
    std::printf("%d observations, %d stars filled in %.1f s\n\n", observations, stars, timer.elapsed() / 1000.0);

    measure("open afresh and check the file's tables", 200, [&] {
        store::Database db(folder);
        static_cast<void>(db.open());
    });
    measure("COUNT(*) of cumobs", 20, [&] {
        store::Database db(folder);
        static_cast<void>(store::countObservations(db));
    });
    measure("liststars of a constellation with 250 stars", 100,
            [&] { static_cast<void>(observe::modEntryscreen::liststars(folder, QStringLiteral("cyg"))); });
    measure("one star's observations, newest first", 10, [&] {
        store::Database db(folder);
        static_cast<void>(store::newestObservation(db, QStringLiteral("star 7")));
    });

    const QString reportFile = folder.report(QDate(2018, 1, 5));
    static_cast<void>(observe::modEntryscreen::beginReport(folder, reportFile));
    {
        QFile report(reportFile);
        report.open(QIODevice::Append);
        for (int i = 0; i < reportLines; ++i)
            report.write(
                QStringLiteral("star %1|2458124.%2|11.2|na|110|115|1896|na\r\n").arg(i % stars).arg(i).toLatin1());
    }
    observe::modEntryscreen::ObservationTexts texts;
    texts.star = QStringLiteral("star 7");
    texts.year = QStringLiteral("2018");
    texts.month = QStringLiteral("1");
    texts.day = QStringLiteral("5");
    texts.hour = QStringLiteral("21");
    texts.estimate = QStringLiteral("110(1)115");
    texts.magnitude = QStringLiteral("11.2");
    int minute = 0;
    int recorded = 0;
    const auto next = [&] { texts.minute = QString::number(minute++ % 60); };
    const double safe = benchkit::medianMs(recordings, [&] {
        next();
        if (observe::modEntryscreen::recordobs(folder, reportFile, texts))
            ++recorded;
    });
    const double unsafe = benchkit::medianMs(recordings, [&] {
        next();
        unsafeRecording(folder, reportFile, texts);
    });
    std::vector<double> windows;
    for (int i = 0; i < recordings; ++i) {
        next();
        windows.push_back(unpairedWindow(folder, reportFile, texts));
    }
    std::sort(windows.begin(), windows.end());
    std::printf("\n%d recordings each, report of %d lines and more, median:\n", recordings, reportLines);
    std::printf("%-58s %9.2f ms\n", "recordobs: lock, row, line on disk, commit", safe);
    std::printf("%-58s %9.2f ms\n", "the same without lock and flush, row committed alone", unsafe);
    std::printf("%-58s %9.2f\n", "cost of safety (ratio)", safe / unsafe);
    std::printf("%-58s %9.2f ms (longest %.2f ms)\n", "line without row until the commit (kill window)",
                windows.at(windows.size() / 2), *std::max_element(windows.begin(), windows.end()));
    std::printf("\nrecorded %d observations this run\n", recorded);
    return 0;
}
