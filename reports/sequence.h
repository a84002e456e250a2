// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reports
{
// A chart's comparison stars as the AAVSO's chart plotter lists them in its
// photometry table, read from either of its two forms: the JSON of its
// interface ("chartid", "photometry" with "bands"), or the older table of
// fields split by "|" that ends with "Count=". Only V is kept of the bands:
// a visual estimate is compared with it.
struct ComparisonStar
{
    QString auid;
    QString ra;
    QString dec;
    // As the chart prints it: the V magnitude in tenths without the point.
    QString label;
    std::optional<double> v;
    std::optional<double> vError;
    QString comments;
};

struct Sequence
{
    // From the table itself, never from the file's name.
    QString chartId;
    QString star;
    QList<ComparisonStar> stars;
    // Why each star that was not taken was refused, worded for the observer.
    QStringList refused;
};

// The largest table read: a chart's thousands of stars take a few MB.
inline constexpr qint64 largestSequence = 8 * 1024 * 1024;

// Refused when the text is neither form, names no chart or holds no star.
outcome::Result<Sequence> parseSequence(const QByteArray &text);
// The file through the bounded reader; the problem names the file.
outcome::Result<Sequence> readSequence(const QString &path);
}
