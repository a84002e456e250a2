// SPDX-License-Identifier: GPL-2.0-or-later
// How long the check of a heavy night's report (2,000 lines of 500 stars)
// takes with the checks after an estimate, against a heavy observer's
// 1,000,000 observations in cumobs, the planner's types of every star and a
// year of earlier reports (365 files, 100,000 lines) in "obs".
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "reports/reportcheck.h"
#include "store/database.h"
#include "store/positions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cstdio>
#include <ctime>
#include <functional>

namespace
{
constexpr int observations = 1'000'000;
constexpr int stars = 500;
constexpr int earlierDays = 365;
constexpr int earlierLines = 100'000;
constexpr int tonightLines = 2'000;
// The day after the last row of cumobs (JD 2,460,000).
constexpr qint64 tonightJulianDay = 2'460'001;
const QByteArray header =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume 1.0\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

QString starName(int i)
{
    return QStringLiteral("star %1").arg(i);
}

QByteArray line(int star, double jd, int tenths)
{
    return QStringLiteral("%1|%2|%3.%4|na|110|115|X36483DQK|na\r\n")
        .arg(starName(star))
        .arg(jd, 0, 'f', 4)
        .arg(tenths / 10)
        .arg(tenths % 10)
        .toLatin1();
}

void fill(const appfiles::Folder &folder)
{
    benchkit::makeDatabase(
        folder, stars,
        [](int i) {
            return benchkit::Star{starName(i), QStringLiteral("c%1").arg(i % 88), starName(i) + QStringLiteral(".gif")};
        },
        observations, [](int i) { return starName(i % stars); });
    // Slow and fast types, and a few unknown.
    const QStringList types{QStringLiteral("M"),
                            QStringLiteral("SRB"),
                            QStringLiteral("UGSS"),
                            QStringLiteral("EA"),
                            QStringLiteral("RRAB"),
                            QStringLiteral("LB"),
                            QString()};
    QList<store::PositionRecord> records;
    for (int i = 0; i < stars; ++i)
        records.append({starName(i), i * 0.7, 10.0, types.at(i % types.size()), 300.0, false, std::nullopt,
                        QStringLiteral("8.0 V"), QStringLiteral("14.0 V")});
    store::Database db(folder);
    if (const auto saved = store::savePositions(db, records); !saved)
        std::fprintf(stderr, "%s\n", qPrintable(saved.problem().message));

    QDir().mkpath(folder.reports().path());
    const QDate tonight = QDate::fromJulianDay(tonightJulianDay);
    int written = 0;
    for (int day = 0; day < earlierDays; ++day) {
        const QDate date = tonight.addDays(day - earlierDays);
        const int lines = (earlierLines - written) / (earlierDays - day);
        QByteArray report = header;
        const double evening = static_cast<double>(date.toJulianDay()) + 0.4;
        for (int i = 0; i < lines; ++i)
            report += line((written + i) % stars, evening + i * 0.0005, 60 + (written + i) % 80);
        written += lines;
        benchkit::write(folder.report(date), report);
    }
    QByteArray report = header;
    for (int i = 0; i < tonightLines; ++i)
        report += line(i % stars, static_cast<double>(tonightJulianDay) + 0.3 + i * 0.0002, 60 + i % 80);
    benchkit::write(folder.report(tonight), report);
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A folder named on the command line is filled once and kept for the next run.
    QTemporaryDir dir;
    const appfiles::Folder folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path());
    QElapsedTimer filling;
    filling.start();
    if (!QFile::exists(folder.database()))
        fill(folder);
    std::printf("%d observations of %d stars, %d earlier reports, tonight's %d lines: ready in %.1f s\n\n",
                observations, stars, earlierDays, tonightLines, filling.elapsed() / 1000.0);

    const QDate tonight = QDate::fromJulianDay(tonightJulianDay);
    const QString path = folder.report(tonight);
    const QDateTime now(tonight.addDays(1), QTime(12, 0), QTimeZone::utc());
    constexpr int runs = 10;
    reports::modReportcheck::Check check;
    // The processor time beside the time on the clock: the machine may be busy with other work.
    const auto measure = [](const char *what, const std::function<void()> &work) {
        const std::clock_t start = std::clock();
        const double median = benchkit::medianMs(runs, work);
        const double cpu = static_cast<double>(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC / runs;
        std::printf("%-58s %9.2f ms (processor %.2f ms)\n", what, median, cpu);
    };
    measure("checkReport with the checks after an estimate",
            [&] { check = reports::modReportcheck::checkReport(path, now, folder); });
    measure("checkReport, the rules of the line alone", [&] { reports::modReportcheck::checkReport(path, now); });
    std::printf("\n%s; %d notes\n", qPrintable(reports::modReportcheck::summary(check)),
                static_cast<int>(check.notes.size()));
    QMap<QString, int> rules;
    for (const reports::modReportcheck::Finding &finding : check.findings)
        ++rules[finding.field];
    for (auto it = rules.cbegin(); it != rules.cend(); ++it)
        std::printf("  %-24s %d kept\n", qPrintable(it.key()), it.value());
    return 0;
}
