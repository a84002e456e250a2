// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

// What the benchmarks share: timing and filling a database at a heavy
// observer's scale.
namespace benchkit
{
// Milliseconds a run of the work takes: the median, or the average, of the
// runs; what prepare does before each run is not timed.
double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {});
double averageMs(int runs, const std::function<void()> &work);

// One line of the figures: what was timed and how long it took.
void print(const char *what, double ms);

// Adds observations to cumobs in one transaction, a hundredth of a day
// apart from 2,450,000; observation i is of the star starOf(i).
void fillObservations(QSqlDatabase db, int count, const std::function<QString(int)> &starOf);
}
