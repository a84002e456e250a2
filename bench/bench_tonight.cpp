// SPDX-License-Identifier: GPL-2.0-or-later
// How long the Tonight plan takes from the request to the filled list: a
// heavy programme of 2,000 stars with positions (their newest observations
// as the query over 1,000,000 cumobs rows hands them over, one per star),
// and an ordinary one of 500. First the plan alone, then the whole request
// as the screen and --tonight make it: the site, the catalogue, the
// positions and the newest observations read from a database of 1,000,000
// cumobs rows, and the plan.
#include "appfiles/folder.h"
#include "bench/benchkit.h"
#include "store/database.h"
#include "store/positions.h"
#include "tonight/plan.h"
#include "tonight/planinput.h"
#include "tonight/plantext.h"
#include "varstars/starkey.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace
{
QList<tonight::PlanStar> programme(int count)
{
    static const char *const types[] = {"M", "SRB", "UGSS", "EA", "LB", "NL", "RRAB", "ZAND"};
    QList<tonight::PlanStar> stars;
    for (int i = 0; i < count; ++i) {
        tonight::PlanStar star;
        star.name = QStringLiteral("V%1 Cyg").arg(i + 1);
        // Spread over the whole sky: even in right ascension, even in the sine of the declination.
        star.position =
            tonight::Position{std::fmod(i * 137.508, 360.0), std::asin(2.0 * (i + 0.5) / count - 1) * 57.29578};
        star.elements.type = QString::fromLatin1(types[i % 8]);
        if (i % 8 == 0 || i % 8 == 3) {
            star.elements.period = i % 8 == 0 ? 200.0 + i % 300 : 0.5 + (i % 50) * 0.07;
            star.elements.epoch = 2455000.0 + i * 0.37;
        }
        stars.append(star);
    }
    return stars;
}

// The medians of the time on the clock and of the processor time: other work may share the machine.
void time(const char *what, const std::function<void()> &work)
{
    constexpr int runs = 21;
    QList<double> clock, processor;
    for (int i = 0; i < runs; ++i) {
        timespec cpu0{}, cpu1{}, wall0{}, wall1{};
        clock_gettime(CLOCK_MONOTONIC, &wall0);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
        work();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
        clock_gettime(CLOCK_MONOTONIC, &wall1);
        const auto ms = [](const timespec &a, const timespec &b) {
            return (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6;
        };
        clock.append(ms(wall0, wall1));
        processor.append(ms(cpu0, cpu1));
    }
    std::sort(clock.begin(), clock.end());
    std::sort(processor.begin(), processor.end());
    std::printf("%-48s %8.2f ms (processor %.2f ms)\n", what, clock.at(runs / 2), processor.at(runs / 2));
}

// The newest observation of every tenth star is missing: never observed.
QHash<QString, double> newest(const QList<tonight::PlanStar> &stars)
{
    QHash<QString, double> newest;
    for (qsizetype i = 0; i < stars.size(); ++i) {
        if (i % 10 != 0)
            newest.insert(varstars::starKey(stars.at(i).name), 2461380.0 - (i % 60) * 0.9);
    }
    return newest;
}
}

// The programme in a program folder of its own, all through the store: its
// charts, 1,000,000 cumobs rows spread over its stars (every tenth never
// observed), its positions and elements, and the site.
void fill(const appfiles::Folder &folder, const QList<tonight::PlanStar> &stars, const tonight::Site &site)
{
    const int count = static_cast<int>(stars.size());
    benchkit::makeDatabase(
        folder, count,
        [&stars](int i) {
            return benchkit::Star{stars.at(i).name, QStringLiteral("cyg"), QStringLiteral("star.gif")};
        },
        1'000'000,
        [&stars, count](int i) {
            const int star = i % count;
            return stars.at(star % 10 == 0 ? (star + 1) % count : star).name;
        });
    QList<store::PositionRecord> records;
    for (const tonight::PlanStar &star : stars) {
        const varstars::Elements &e = star.elements;
        records.append({star.name, star.position->ra, star.position->dec, e.type, e.period, false, e.epoch, {}, {}});
    }
    store::Database db(folder);
    if (const auto saved = store::savePositions(db, records); !saved)
        std::fprintf(stderr, "%s\n", qPrintable(saved.problem().message));
    if (const auto written = tonight::writeSite(folder.site(), site); !written)
        std::fprintf(stderr, "%s\n", qPrintable(written.problem().message));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const tonight::Site site{52.52, 13.40, 34, 20, -12, QStringLiteral("Europe/Berlin")};
    const QDateTime moment = QDateTime::fromString(QStringLiteral("2026-12-07T21:30Z"), Qt::ISODate);
    const varstars::Cadences cadences({{QStringLiteral("SRB"), 14}});
    for (const int count : {2'000, 500}) {
        const QList<tonight::PlanStar> stars = programme(count);
        const QHash<QString, double> observed = newest(stars);
        std::printf("%d stars with positions, %lld of them observed before\n", count,
                    static_cast<long long>(observed.size()));
        tonight::Plan plan;
        time("makePlan: night, places, Moon, minima, order",
             [&] { plan = *tonight::makePlan(site, stars, observed, cadences, moment); });
        QString text;
        time("planText: the --tonight table", [&] { text = tonight::planText(plan); });
        qsizetype upNow = 0;
        for (const tonight::PlanRow &row : plan.rows)
            upNow += row.visibility == tonight::Visibility::UpNow;
        std::printf("%lld up now, %lld lines of text\n", static_cast<long long>(upNow),
                    static_cast<long long>(text.count(u'\n')));

        QTemporaryDir dir;
        const appfiles::Folder folder(dir.path());
        fill(folder, stars, site);
        QStringList names;
        for (const tonight::PlanStar &star : stars)
            names.append(star.name);
        time("store::newestDates: the newest observation of each", [&] {
            store::Database db(folder);
            if (const auto newest = store::newestDates(db, names); !newest)
                std::fprintf(stderr, "%s\n", qPrintable(newest.problem().message));
        });
        time("readPlanInput: catalogue, positions, newest dates", [&] {
            store::Database db(folder);
            if (const auto input = tonight::readPlanInput(db); !input)
                std::fprintf(stderr, "%s\n", qPrintable(input.problem().message));
        });
        time("planAt: from the request to the filled rows", [&] {
            const auto planned = tonight::planAt(folder, moment);
            if (!planned)
                std::fprintf(stderr, "%s\n", qPrintable(planned.problem().message));
            else
                plan = planned->plan;
        });
        std::printf("%lld rows, %lld without a position\n\n", static_cast<long long>(plan.rows.size()),
                    static_cast<long long>(plan.withoutPosition.size()));
    }
    return 0;
}
