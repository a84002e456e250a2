// SPDX-License-Identifier: GPL-2.0-or-later
// What the comparison sequences cost: the check of a heavy night's report
// (2,000 lines of 500 stars, each its own chart) with a sequence kept for
// every chart against the same check without them, in a folder of tonight's
// report alone and beside a prolific year of earlier reports (365 files,
// 100,000 lines); and the reading of one chart's table of 2,000 stars in
// either form.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "reports/reportcheck.h"
#include "reports/sequencerules.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr int tonightLines = 2'000;
constexpr int charts = 500;
constexpr int starsPerChart = 15;
constexpr int tableStars = 2'000;
constexpr int runs = 15;
constexpr int earlierDays = 365;
constexpr int earlierLines = 100'000;
const QByteArray header =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume 1.0\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

reports::Sequence sequenceOf(int chart, int stars)
{
    reports::Sequence sequence{QStringLiteral("C%1").arg(chart), QStringLiteral("star %1").arg(chart), {}, {}};
    for (int i = 0; i < stars; ++i) {
        const int tenths = 90 + i % starsPerChart;
        sequence.stars.append({QStringLiteral("000-%1-%2").arg(chart).arg(i), QStringLiteral("21:42:01.1"),
                               QStringLiteral("+43:30:00"), QString::number(tenths), tenths / 10.0 + 0.02, 0.03,
                               QString()});
    }
    return sequence;
}

QByteArray jsonTable(const reports::Sequence &sequence)
{
    QByteArray text = "{\"chartid\":\"" + sequence.chartId.toLatin1() + "\",\"star\":\"SS Cyg\",\"photometry\":[";
    for (const reports::ComparisonStar &star : sequence.stars)
        text += QStringLiteral(R"({"auid":"%1","ra":"%2","dec":"%3","label":"%4","comments":"",)"
                               R"("bands":[{"band":"B","mag":%5,"error":0.05},{"band":"V","mag":%6,"error":%7}]},)")
                    .arg(star.auid, star.ra, star.dec, star.label)
                    .arg(*star.v + 0.6)
                    .arg(*star.v)
                    .arg(*star.vError)
                    .toLatin1();
    text.chop(1);
    return text + "]}";
}

QByteArray pipeTable(const reports::Sequence &sequence)
{
    QByteArray text = "AUID|RA|Dec|Label|U|Uerr|Usrc|B|Berr|Bsrc|V|Verr|Vsrc\n";
    for (const reports::ComparisonStar &star : sequence.stars)
        text += QStringLiteral("%1|%2|%3|%4|NA|NA|NA|%5|0.05|1|%6|%7|1%8||%9\n")
                    .arg(star.auid, star.ra, star.dec, star.label)
                    .arg(*star.v + 0.6)
                    .arg(*star.v)
                    .arg(*star.vError)
                    .arg(QStringLiteral("|NA|NA|NA").repeated(10), sequence.chartId)
                    .toLatin1();
    return text + "Count=" + QByteArray::number(sequence.stars.size()) + '\n';
}

// A folder of a catalogue of 500 stars, each with its chart, and tonight's
// report; its path.
QByteArray line(int i, double jd)
{
    return QStringLiteral("star %1|%2|%3|na|%4|%5|C%1|na\r\n")
        .arg(i % charts)
        .arg(jd, 0, 'f', 4)
        .arg(9.4 + (i % 5) / 10.0, 0, 'f', 1)
        .arg(90 + i % 8)
        .arg(98 + i % 7)
        .toLatin1();
}

QString prepare(const appfiles::Folder &folder, const QDate &tonight, bool earlier)
{
    QDir().mkpath(folder.reports().path());
    benchkit::makeDatabase(
        folder, charts,
        [](int i) {
            return benchkit::Star{QStringLiteral("star %1").arg(i), "cyg", "x.gif"};
        },
        0, [](int i) { return QStringLiteral("star %1").arg(i); });
    QByteArray report = header;
    // Compared with the chart's own stars, as a careful observer's lines are.
    for (int i = 0; i < tonightLines; ++i)
        report += line(i, static_cast<double>(tonight.toJulianDay()) + 0.3 + i * 0.0002);
    for (int day = 0, written = 0; earlier && day < earlierDays; ++day) {
        const QDate date = tonight.addDays(day - earlierDays);
        const int lines = (earlierLines - written) / (earlierDays - day);
        QByteArray old = header;
        for (int i = 0; i < lines; ++i)
            old += line(written + i, static_cast<double>(date.toJulianDay()) + 0.4 + i * 0.0005);
        written += lines;
        benchkit::write(folder.report(date), old);
    }
    benchkit::write(folder.report(tonight), report);
    return folder.report(tonight);
}

// The median ratio of the check's times with and without the sequences,
// measured in turns so that a machine busy with other work slows both alike.
void compare(const char *folders, bool earlier)
{
    QTemporaryDir bare;
    QTemporaryDir kept;
    const appfiles::Folder without(bare.path());
    const appfiles::Folder with(kept.path());
    const QDate tonight(2018, 1, 5);
    const QDateTime now(tonight.addDays(1), QTime(12, 0), QTimeZone::utc());
    const QString pathWithout = prepare(without, tonight, earlier);
    const QString pathWith = prepare(with, tonight, earlier);
    for (int chart = 0; chart < charts; ++chart) {
        if (!reports::keepSequence(with, sequenceOf(chart, starsPerChart), now))
            std::printf("a sequence was not kept\n");
    }
    QList<double> ratios;
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        const double msWithout =
            benchkit::medianMs(3, [&] { reports::modReportcheck::checkReport(pathWithout, now, without); });
        const double msWith = benchkit::medianMs(3, [&] { reports::modReportcheck::checkReport(pathWith, now, with); });
        times.append(msWith);
        ratios.append(msWith / msWithout);
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(times.begin(), times.end());
    std::printf("%s: check of 2,000 lines with sequences of 500 charts %.2f ms, %.2f times the check without "
                "them (median of %d turns; at most 1.2)\n",
                folders, times.at(runs / 2), ratios.at(runs / 2), runs);
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    compare("tonight's report alone", false);
    compare("beside a year of reports", true);
    std::printf("\n");

    QTemporaryDir dir;
    const reports::Sequence big = sequenceOf(1, tableStars);
    for (const auto &[name, text] : {std::pair{"X1.json", jsonTable(big)}, std::pair{"X1.txt", pipeTable(big)}}) {
        const QString table = dir.filePath(QLatin1String(name));
        benchkit::write(table, text);
        const double ms = benchkit::medianMs(runs, [&] {
            if (reports::readSequence(table)->stars.size() != tableStars)
                std::printf("%s: not every star was read\n", name);
        });
        benchkit::print(qPrintable(QStringLiteral("reading a table of 2,000 stars, %1 (under 200 ms)").arg(name)), ms);
    }
    return 0;
}
