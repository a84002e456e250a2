// SPDX-License-Identifier: GPL-2.0-or-later
// How long the report check window and "--check --ledger" take to hold a
// prolific year of reports (365 files of 2,000 lines) against the ledger of
// a download of 500,000 observations.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "reports/reportcheck.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/ledger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace
{
constexpr int downloaded = 500'000;
constexpr int days = 365;
constexpr int linesPerDay = 2'000;
constexpr int stars = 400;
const QByteArray header =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume 1.0\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

// Observation n: the download's as the AAVSO writes it, the report's as the observer does.
QString star(int n, bool aavso)
{
    return aavso ? QStringLiteral("V%1 CYG").arg(n % stars) : QStringLiteral("v%1 cyg").arg(n % stars);
}
QString jd(int n)
{
    return QString::number(2458000.0 + n * 0.0007, 'f', 4);
}
double magnitude(int n)
{
    return 8.0 + (n % 71) / 10.0;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const appfiles::Folder folder(dir.path());
    QDir().mkpath(folder.reports().path());
    if (const auto created = store::createDefault(folder); !created)
        std::fprintf(stderr, "%s\n", qPrintable(created.problem().message));
    {
        store::Database db(folder);
        auto recorder = store::LedgerRecorder::prepare(db);
        outcome::Done done = recorder ? db.beginHeld() : outcome::Done(recorder.problem());
        for (int n = 0; done && n < downloaded; ++n) {
            const QString name = star(n, true);
            const auto key = store::observationKey(name, jd(n), QString::number(magnitude(n), 'f', 1));
            done = (*recorder)->record(name, *key, n % 23 == 0);
        }
        done = done ? (*recorder)->cover() : done;
        done = done ? db.commit() : done;
        if (!done)
            std::fprintf(stderr, "%s\n", qPrintable(done.problem().message));
    }
    // The first reports' lines are the download's, one in a hundred under
    // another name and one in fifty with another magnitude, which the AAVSO
    // lacks; the later reports' lie after the download.
    QList<QByteArray> names;
    const QDate first(2017, 9, 4);
    for (int day = 0; day < days; ++day) {
        QByteArray report = header;
        for (int i = 0; i < linesPerDay; ++i) {
            const int n = day * linesPerDay + i;
            const QString name = n % 100 == 0 ? QStringLiteral("alias %1").arg(n) : star(n, false);
            report += QStringLiteral("%1|%2|%3%4|na|110|115|X1|na\r\n")
                          .arg(name, jd(n), n % 23 == 0 ? QStringLiteral("<") : QString())
                          .arg(magnitude(n) + (n % 50 == 25 ? 0.05 : 0.0), 0, 'f', 2)
                          .toLatin1();
        }
        const QString path = folder.report(first.addDays(day));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(report);
        names.prepend(QFile::encodeName(path));
    }
    std::printf("%d observations in the ledger; %d reports of %d lines\n\n", downloaded, days, linesPerDay);

    // The processor time beside the time on the clock: the machine may be busy with other work.
    constexpr int runs = 5;
    const auto timed = [](const char *what, const std::function<void()> &work) {
        const std::clock_t start = std::clock();
        const double clock = benchkit::medianMs(runs, work);
        std::printf("%-62s %9.2f ms (processor %.2f ms)\n", what, clock,
                    static_cast<double>(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC / runs);
    };
    reports::modReportcheck::Ledgers ledgers;
    timed("readLedger alone", [&] { static_cast<void>(store::readLedger(folder)); });
    timed("ledgersOf: read the ledger and every report, match",
          [&] { ledgers = reports::modReportcheck::ledgersOf(folder, names); });
    int held = 0;
    int missing = 0;
    int notCovered = 0;
    for (const auto &report : std::as_const(ledgers.reports)) {
        held += report.held;
        missing += report.missing;
        notCovered += report.notCovered;
    }
    std::printf("\n%d lines held, %d not at the AAVSO yet, %d not covered yet\n", held, missing, notCovered);
    return 0;
}
