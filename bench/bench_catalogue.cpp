// SPDX-License-Identifier: GPL-2.0-or-later
// How long the observer waits on the catalogue screen, with 2,000 charts and
// a heavy observer's 1,000,000 observations in cumobs, indexed by star and
// date and by date.
#include "bench/benchkit.h"
#include "catalogue/chartreport.h"
#include "catalogue/frmdatabase.h"
#include "catalogue/moddbscreen.h"
#include "catalogue/reportpaint.h"
#include "store/creation.h"
#include "store/database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPageLayout>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>

namespace
{
constexpr int observations = 1'000'000;
constexpr int charts = 2'000;

QString starName(int i)
{
    return QStringLiteral("star %1").arg(i, 4, 10, QLatin1Char('0'));
}

void fill(const appfiles::Folder &folder)
{
    // Beside the seed, 1,999 charts in the 88 constellations; 500 observations
    // of each star, spread over the years.
    benchkit::makeDatabase(
        folder, charts - 1,
        [](int i) {
            return benchkit::Star{starName(i + 1), QStringLiteral("c%1").arg((i + 1) % 88, 2, 10, QLatin1Char('0')),
                                  starName(i + 1) + QStringLiteral(".gif")};
        },
        observations, [](int i) { return starName(i % charts * 7919 % charts); });
}

void measure(const char *what, int runs, const std::function<void()> &work)
{
    benchkit::print(what, benchkit::averageMs(runs, work));
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
    std::printf("%d observations, %d charts filled in %.1f s\n\n", observations, charts, timer.elapsed() / 1000.0);

    // As the program opens it: made, loaded, shown and drawn.
    const auto open = [&] {
        auto screen = std::make_unique<catalogue::frmDatabase>(folder);
        screen->load();
        screen->show();
        QCoreApplication::processEvents();
        return screen;
    };
    measure("open the screen: both lists' first rows, both counts, shown", 10, [&] { open(); });
    const std::unique_ptr<catalogue::frmDatabase> screen = open();
    const auto button = [&](const char *name) { return screen->findChild<QPushButton *>(QLatin1String(name)); };
    const auto field = [&](const char *name) { return screen->findChild<QLineEdit *>(QLatin1String(name)); };
    const auto list = [&](const char *name) { return screen->findChild<QTableView *>(QLatin1String(name)); };

    field("txtsearch")->setText(starName(1234));
    measure("Search for star: one of 2,000", 20, [&] { button("cmdSearchstar")->click(); });
    measure("Show All: 2,000 charts by constellation, then name", 20, [&] { button("cmdShowall")->click(); });
    field("txtfindme")->setText(starName(777));
    measure("Find: a star's 500 observations, counted and listed", 20, [&] { button("cmdFindobs")->click(); });
    measure("Reset: all observations in table order", 20, [&] { button("cmdReset")->click(); });
    measure("Invert: all observations newest first", 20, [&] { button("cmdInvert")->click(); });
    QAbstractItemModel *observed = list("MSFlexGrid1")->model();
    measure("scroll on: the next 256 of the newest-first list", 100, [&] { observed->fetchMore(QModelIndex()); });
    std::printf("%-62s %9d rows\n", "  rows fetched by then", observed->rowCount());
    measure("COUNT(*) of cumobs", 20, [&] { static_cast<void>(catalogue::moddbscreen::countobs(folder)); });

    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                         QPageLayout::Millimeter);
    QList<catalogue::moddbscreen::ChartRow> rows;
    measure("report: read the 2,000 charts", 20, [&] { rows = catalogue::readChartList(folder).valueOr({}); });
    catalogue::ChartReport report;
    measure("report: lay the 2,000 charts out on A4", 20,
            [&] { report = catalogue::layoutChartReport(rows, catalogue::reportArea(a4)); });
    std::printf("%-62s %9lld pages\n", "  pages", static_cast<long long>(report.pages.size()));
    measure("report: the whole list as PDF", 3, [&] {
        static_cast<void>(catalogue::writeChartReportPdf(dir.filePath(QStringLiteral("My Charts.pdf")), a4, rows));
    });
    return 0;
}
