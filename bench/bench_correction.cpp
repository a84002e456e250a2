// SPDX-License-Identifier: GPL-2.0-or-later
// How long a correction or withdrawal of a line of tonight's report takes
// with a heavy observer's 1,000,000 observations and a report of 2,000
// lines, and how long a kill in the middle of one leaves the report behind
// the database, to be completed by the next start.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "observe/modentryscreen.h"
#include "observe/reportfile.h"
#include "reports/reportchange.h"
#include "store/database.h"
#include "tests/support/sqlfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
constexpr int observations = 1'000'000;
constexpr int stars = 500;
constexpr int reportLines = 2'000;
constexpr int changes = 100;

QString line(int i)
{
    return QStringLiteral("star %1|2458124.%2|11.2|na|110|115|1896|na").arg(i % stars).arg(i + 1000);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}
}

int main(int argc, char *argv[])
{
    using namespace observe::modEntryscreen;
    QCoreApplication app(argc, argv);
    // One line of the log per change would bury the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("varlume.*.info=false"));
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    QElapsedTimer timer;
    timer.start();
    benchkit::makeDatabase(
        folder, stars,
        [](int i) {
            return benchkit::Star{QStringLiteral("star %1").arg(i), QStringLiteral("cyg"), {}};
        },
        observations, [](int i) { return QStringLiteral("star %1").arg(i % stars); });
    benchkit::addObservations(folder, reportLines, [](int i) {
        const QStringList fields = line(i).split(u'|');
        return store::ObservationRow{fields.at(0), fields.at(2),         QStringLiteral("110(1)115"),
                                     fields.at(1), QStringLiteral("na"), QStringLiteral("na"),
                                     fields.at(6)};
    });
    QDir().mkpath(folder.reports().path());
    const QString report = folder.report(QDate(2018, 1, 5));
    QFile file(report);
    file.open(QIODevice::WriteOnly);
    file.write("#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n");
    for (int i = 0; i < reportLines; ++i)
        file.write(line(i).toLatin1() + "\r\n");
    file.close();
    std::printf("%d observations and a report of %d lines made in %.1f s\n\n", observations + reportLines, reportLines,
                timer.elapsed() / 1000.0);

    std::vector<double> corrections;
    std::vector<double> withdrawals;
    std::vector<double> windows;
    int failed = 0;
    for (int i = 0; i < changes; ++i) {
        std::optional<LineTexts> texts = textsOfLine(line(i), QStringLiteral("110(1)115"));
        texts->texts.magnitude = QStringLiteral("11.3");
        timer.restart();
        failed += correctobs(folder, report, line(i), std::nullopt, texts->texts, texts->dateText) ? 0 : 1;
        corrections.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        failed += withdrawobs(folder, report, line(reportLines - 1 - i), std::nullopt) ? 0 : 1;
        withdrawals.push_back(timer.nsecsElapsed() / 1e6);

        // From the commit to the record marked done, the report lags behind the table.
        reports::ReportChange change(folder, report, {store::Change::Kind::Withdrawal, line(changes + i), {}, {}});
        while (change.step() != reports::ReportChange::Step::Written)
            failed += change.next() ? 0 : 1;
        timer.restart();
        while (change.step() != reports::ReportChange::Step::Done)
            failed += change.next() ? 0 : 1;
        windows.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%d each, median:\n", changes);
    std::printf("%-58s %9.2f ms\n", "correction (checks, lock, new file, row, rename)", median(corrections));
    std::printf("%-58s %9.2f ms\n", "withdrawal", median(withdrawals));
    std::printf("%-58s %9.2f ms (longest %.2f ms)\n", "commit to done: a kill here needs start-up's help",
                median(windows), *std::max_element(windows.begin(), windows.end()));

    // Past observations by their row: half with their line in the report, half long before any report.
    std::vector<double> past;
    for (int i = 0; i < changes; ++i) {
        const qint64 row = i % 2 ? observations / 2 + i : observations + 1 + 2 * changes + i;
        store::Database db(folder);
        const auto values = store::observationAt(db, row);
        if (!values || !*values) {
            ++failed;
            continue;
        }
        store::ObservationRow corrected = **values;
        corrected.magnitude = QStringLiteral("9.9");
        timer.restart();
        failed += reports::correctRow(folder, row, corrected) ? 0 : 1;
        past.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-58s %9.2f ms\n", "past correction by row (half with their report)", median(past));

    // The record grown to 10,000 changes, printed by the command as the observer runs it.
    {
        SqlFile db(folder.path());
        QList<QVariantList> rows;
        for (int i = 0; i < 10'000; ++i)
            rows.append(
                {QStringLiteral("2026-12-08T20:00:00Z"),
                 QStringLiteral("star %1|2458124.5|11.2|na|na|na|X1|na").arg(i % stars),
                 QStringLiteral("[\"star %1\",\"11.2\",\"e\",\"2458124.5\",\"na\",\"na\",\"X1\"]").arg(i % stars)});
        db.execEach(
            QStringLiteral("INSERT INTO changes (at, kind, report, old_line, new_line, row, old_row, new_row, "
                           "copies, state) VALUES (?, 'correction', '2018-Jan-05.txt', ?, ?, 1, ?, ?, 1, 'done')"),
            [&rows] {
                QList<QVariantList> full;
                for (const QVariantList &r : rows)
                    full.append({r.at(0), r.at(1), r.at(1), r.at(2), r.at(2)});
                return full;
            }());
    }
    // The program works in its own folder: a copy of it runs in the bench's.
    const QString program = QDir(folder.path()).filePath(QStringLiteral("varlume"));
    if (QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/varlume")), program)) {
        std::vector<double> runs;
        for (int i = 0; i < 5; ++i) {
            QProcess history;
            timer.restart();
            history.start(program, {QStringLiteral("--history")});
            history.waitForFinished(60'000);
            runs.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("%-58s %9.2f ms\n", "varlume --history of 10,000 changes, process and all", median(runs));
    }
    std::printf("\n%d failed\n", failed);
    return failed == 0 ? 0 : 1;
}
