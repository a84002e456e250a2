// SPDX-License-Identifier: GPL-2.0-or-later
// How long the observer waits for the check of a heavy night's report (2,000
// lines) against a prolific year of earlier reports (365 files, 100,000 lines).
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "reports/reportcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace
{
constexpr int earlierDays = 365;
constexpr int earlierLines = 100'000;
constexpr int tonightLines = 2'000;
constexpr int stars = 500;
const QByteArray header =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume 1.0\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

QByteArray line(int star, double jd, int tenths)
{
    return QStringLiteral("star %1|%2|%3.%4|na|110|115|X36483DQK|na\r\n")
        .arg(star)
        .arg(jd, 0, 'f', 4)
        .arg(tenths / 10)
        .arg(tenths % 10)
        .toLatin1();
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    QDir().mkpath(folder.reports().path());

    const QDate first(2017, 1, 1);
    int written = 0;
    for (int day = 0; day < earlierDays; ++day) {
        const QDate date = first.addDays(day);
        const int lines = (earlierLines - written) / (earlierDays - day);
        QByteArray report = header;
        const double evening = static_cast<double>(date.toJulianDay()) + 0.4;
        for (int i = 0; i < lines; ++i)
            report += line((written + i) % stars, evening + i * 0.0005, 60 + (written + i) % 80);
        written += lines;
        benchkit::write(folder.report(date), report);
    }
    // Tonight: a few observations sent once already, the rest new.
    const QDate tonight = first.addDays(earlierDays);
    QByteArray report = header;
    for (int i = 0; i < tonightLines; ++i) {
        if (i % 200 == 0)
            report += line(i % stars, static_cast<double>(first.toJulianDay()) + 0.4, 60 + i % 80);
        else
            report += line(i % stars, static_cast<double>(tonight.toJulianDay()) + 0.3 + i * 0.0002, 60 + i % 80);
    }
    const QString path = folder.report(tonight);
    benchkit::write(path, report);
    std::printf("%d earlier reports with %d lines; tonight's report with %d lines\n\n", earlierDays, written,
                tonightLines);

    const QDateTime now = QDateTime(tonight.addDays(1), QTime(12, 0), QTimeZone::utc());
    // The processor time beside the time on the clock: the machine may be busy with other work.
    constexpr int runs = 20;
    qint64 slowest = 0;
    qint64 total = 0;
    int findings = 0;
    const std::clock_t cpuStart = std::clock();
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        findings = static_cast<int>(reports::modReportcheck::checkReport(path, now).findings.size());
        const qint64 elapsed = timer.nsecsElapsed();
        total += elapsed;
        slowest = std::max(slowest, elapsed);
    }
    const double cpu = static_cast<double>(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC / runs;
    std::printf("%-58s %9.2f ms (slowest %.2f ms, processor %.2f ms)\n",
                "checkReport: read, check, night, earlier reports", total / 1e6 / runs, slowest / 1e6, cpu);

    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        reports::modReportcheck::readVisual(bytes, now);
    std::printf("%-58s %9.2f ms\n", "readVisual of tonight's report alone", timer.nsecsElapsed() / 1e6 / runs);
    std::printf("\n%d findings (the observations sent before)\n", findings);
    return 0;
}
