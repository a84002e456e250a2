// SPDX-License-Identifier: GPL-2.0-or-later
#include "bench/benchkit.h"

#include "store/appender.h"
#include "store/charts.h"
#include "store/creation.h"
#include "store/database.h"
#include "store/schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdio>

namespace benchkit
{
double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare)
{
    QList<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

double averageMs(int runs, const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i)
        work();
    return timer.nsecsElapsed() / 1e6 / runs;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void print(const char *what, double ms)
{
    std::printf("%-62s %9.2f ms\n", what, ms);
}

void makeDatabase(const appfiles::Folder &folder, int stars, const std::function<Star(int)> &star, int observations,
                  const std::function<QString(int)> &starOf)
{
    if (const auto created = store::createDefault(folder); !created)
        std::fprintf(stderr, "%s\n", qPrintable(created.problem().message));
    {
        store::Database db(folder);
        outcome::Done done = db.beginHeld();
        for (int i = 0; done && i < stars; ++i) {
            const Star s = star(i);
            done = store::addChart(db,
                                   {s.name, QStringLiteral("X1"), QStringLiteral("no"), s.picturefile,
                                    QStringLiteral("none"), s.constellation});
        }
        if (done)
            done = db.commit();
        if (!done)
            std::fprintf(stderr, "%s\n", qPrintable(done.problem().message));
    }
    addObservations(folder, observations, [&starOf](int i) {
        return store::ObservationRow{starOf(i),
                                     QStringLiteral("11.2"),
                                     QStringLiteral("110(1)115"),
                                     QString::number(2450000.0 + i * 0.01, 'f', 4),
                                     QStringLiteral("na"),
                                     QStringLiteral("na"),
                                     QStringLiteral("1896")};
    });
}

void addObservations(const appfiles::Folder &folder, int count, const std::function<store::ObservationRow(int)> &row)
{
    store::Database db(folder);
    using namespace store::column;
    auto appender =
        store::Appender::prepare(db, store::cumobs(), {star, magnitude, estimate, obsdate, obscode, notes, chart});
    outcome::Done done = appender ? db.beginHeld() : outcome::Done(appender.problem());
    for (int i = 0; done && i < count; ++i) {
        const store::ObservationRow r = row(i);
        done = (*appender)->append({r.star, r.magnitude, r.estimate, r.obsdate, r.obscode, r.notes, r.chart});
    }
    if (done)
        done = db.commit();
    if (!done)
        std::fprintf(stderr, "%s\n", qPrintable(done.problem().message));
}
}
