// SPDX-License-Identifier: GPL-2.0-or-later
#include "bench/benchkit.h"

#include "store/creation.h"
#include "store/database.h"

#include <QElapsedTimer>
#include <QList>
#include <QSqlQuery>

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

void print(const char *what, double ms)
{
    std::printf("%-62s %9.2f ms\n", what, ms);
}

void makeDatabase(const QString &folder, int stars, const std::function<Star(int)> &star, int observations,
                  const std::function<QString(int)> &starOf)
{
    QString error;
    if (!store::createDefault(folder, &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    store::Database db(folder);
    db.open();
    QSqlDatabase handle = db.handle();
    handle.transaction();
    QSqlQuery chart(handle);
    chart.prepare(QStringLiteral("INSERT INTO Charts VALUES (?, 'X1', 'no', ?, 'none', ?)"));
    for (int i = 0; i < stars; ++i) {
        const Star s = star(i);
        chart.addBindValue(s.name);
        chart.addBindValue(s.picturefile);
        chart.addBindValue(s.constellation);
        chart.exec();
    }
    QSqlQuery obs(handle);
    obs.prepare(QStringLiteral("INSERT INTO cumobs VALUES (?, '11.2', '110(1)115', ?, 'na', 'na', '1896')"));
    for (int i = 0; i < observations; ++i) {
        obs.addBindValue(starOf(i));
        obs.addBindValue(QString::number(2450000.0 + i * 0.01, 'f', 4));
        obs.exec();
    }
    handle.commit();
}
}
