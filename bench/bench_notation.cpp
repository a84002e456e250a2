// SPDX-License-Identifier: GPL-2.0-or-later
// How long an estimate as written at the eyepiece takes to be read and worked
// out, and what reading the estimates of a heavy night's report (2,000 lines
// of 500 stars) adds to its check against 1,000,000 observations: the same
// night checked twice, its rows holding notations, then the import's texts.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "reports/reportcheck.h"
#include "reports/starfacts.h"
#include "varstars/notation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace
{
constexpr int observations = 1'000'000;
constexpr int stars = 500;
constexpr int tonightLines = 2'000;
// Two nights after the last row of cumobs (JD 2,460,000): with notations, then without.
constexpr qint64 notationNight = 2'460'001;
constexpr qint64 plainNight = 2'460'002;
const QByteArray header =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume 1.0\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

QString starName(int i)
{
    return QStringLiteral("star %1").arg(i);
}

// The i-th estimate of the night: steps between two labels 0.6 apart; one
// in a hundred with a magnitude that slipped by 0.2.
struct Estimate
{
    QString written;
    QString magnitude;
    QString comp1;
    QString comp2;
};

Estimate estimateOf(int i)
{
    const int brighter = 60 + i % 80;
    const QString written =
        QStringLiteral("%1 %2 V %3 %4").arg(brighter).arg(1 + i % 3).arg(1 + (i / 3) % 3).arg(brighter + 6);
    varstars::Reduction worked = *varstars::workOut(written, {}, {});
    worked.tenths += i % 100 == 0 ? 2 : 0;
    return {written, worked.magnitude(), QString::number(brighter), QString::number(brighter + 6)};
}

QString dateOf(qint64 night, int i)
{
    return QString::number(static_cast<double>(night) + 0.3 + i * 0.0002, 'f', 4);
}

void fill(const appfiles::Folder &folder)
{
    benchkit::makeDatabase(
        folder, stars,
        [](int i) {
            return benchkit::Star{starName(i), QStringLiteral("c%1").arg(i % 88), starName(i) + QStringLiteral(".gif")};
        },
        observations, [](int i) { return starName(i % stars); });
    QDir().mkpath(folder.reports().path());
    for (const qint64 night : {notationNight, plainNight}) {
        const bool notations = night == notationNight;
        benchkit::addObservations(folder, tonightLines, [&](int i) {
            const Estimate estimate = estimateOf(i);
            return store::ObservationRow{starName(i % stars),
                                         estimate.magnitude,
                                         notations ? estimate.written : estimate.comp1 + u' ' + estimate.comp2,
                                         dateOf(night, i),
                                         QStringLiteral("na"),
                                         QStringLiteral("na"),
                                         QStringLiteral("X36483DQK")};
        });
        QByteArray report = header;
        for (int i = 0; i < tonightLines; ++i) {
            const Estimate estimate = estimateOf(i);
            report +=
                QStringLiteral("%1|%2|%3|na|%4|%5|X36483DQK|na\r\n")
                    .arg(starName(i % stars), dateOf(night, i), estimate.magnitude, estimate.comp1, estimate.comp2)
                    .toLatin1();
        }
        benchkit::write(folder.report(QDate::fromJulianDay(night)), report);
    }
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    // The night's notations, the others, and free text, each against comparison fields.
    QStringList written{QStringLiteral("A 3 V 2 B"),     QStringLiteral("V = 98"),  QStringLiteral("< 116"),
                        QStringLiteral("110(2)V(1)116"), QStringLiteral("110 116"), QStringLiteral("clouds")};
    for (int i = 0; i < 9; ++i)
        written.append(estimateOf(i).written);
    constexpr int calls = 1'000'000;
    int workedOut = 0;
    const double ms = benchkit::averageMs(1, [&] {
        for (int i = 0; i < calls; ++i)
            workedOut += varstars::workOut(written.at(i % written.size()), u"110", u"116") ? 1 : 0;
    });
    std::printf("%-62s %9.5f ms (%d of %d worked out)\n", "an estimate read and worked out, each", ms / calls,
                workedOut, calls);

    // A folder named on the command line is filled once and kept for the next run.
    QTemporaryDir dir;
    const appfiles::Folder folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path());
    if (!QFile::exists(folder.database())) {
        QDir().mkpath(folder.path());
        fill(folder);
    }
    std::printf("\n%d observations of %d stars; two nights of %d lines\n\n", observations, stars, tonightLines);

    // The two nights in turn, so that other work on the machine weighs on both alike.
    constexpr int runs = 21;
    const qint64 nights[2] = {notationNight, plainNight};
    QList<double> times[2];
    reports::modReportcheck::Check checks[2];
    for (int run = 0; run < runs; ++run) {
        for (int n = 0; n < 2; ++n) {
            const QDate date = QDate::fromJulianDay(nights[n]);
            const QDateTime now(date.addDays(1), QTime(12, 0), QTimeZone::utc());
            times[n].append(benchkit::averageMs(
                1, [&] { checks[n] = reports::modReportcheck::checkReport(folder.report(date), now, folder); }));
        }
    }
    const char *what[2] = {"checkReport, every row's estimate a notation",
                           "checkReport, every row's estimate the import's text"};
    double median[2];
    for (int n = 0; n < 2; ++n) {
        std::sort(times[n].begin(), times[n].end());
        median[n] = times[n].at(runs / 2);
        benchkit::print(what[n], median[n]);
        std::printf("  %s\n", qPrintable(reports::modReportcheck::summary(checks[n])));
    }
    std::printf("\nwith notations %.2f times the check without them\n", median[0] / median[1]);

    // Of each check: the lines paired with their rows, for the estimates as written.
    QFile file(folder.report(QDate::fromJulianDay(notationNight)));
    file.open(QIODevice::ReadOnly);
    const QList<reports::plausibility::Estimate> estimates =
        reports::modReportcheck::readVisual(file.readAll(), QDateTime::currentDateTimeUtc()).estimates;
    benchkit::print("the night's lines paired with their rows", benchkit::medianMs(runs, [&] {
                        QList<reports::plausibility::Estimate> paired = estimates;
                        reports::plausibility::readWritten(folder, paired);
                    }));
    return 0;
}
