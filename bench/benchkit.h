// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "store/observations.h"

#include <QByteArray>
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

// The bytes as the whole of the file at path; a failure is said on
// standard error, for the figures after it would mean nothing.
void write(const QString &path, const QByteArray &bytes);

struct Star
{
    QString name;
    QString constellation;
    QString picturefile;
};

// A new database in the folder: beside the seed row, a catalogue of `stars`
// charts (chart "X1", not nightly, no finder chart), the i-th described by
// star(i); and `observations` rows a hundredth of a day apart from
// 2,450,000, observation i being of the star starOf(i).
void makeDatabase(const appfiles::Folder &folder, int stars, const std::function<Star(int)> &star, int observations,
                  const std::function<QString(int)> &starOf);
// Adds `count` rows to cumobs, row i as row(i), through the store's appender
// as the import adds them.
void addObservations(const appfiles::Folder &folder, int count, const std::function<store::ObservationRow(int)> &row);
}
