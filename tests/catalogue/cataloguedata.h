// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/chartrecord.h"

#include <QList>
#include <QString>

#include <optional>

// Catalogues to test with, in a folder the default database was made in.
namespace cataloguedata
{
struct Observation
{
    QString star;
    QString obsdate;
};

// A complete row: chart "X1", not nightly, "<name>.gif", no finder chart.
catalogue::moddbscreen::ChartRow chart(const QString &name, const QString &constell);
void addCharts(const QString &folder, const QList<catalogue::moddbscreen::ChartRow> &rows);
void addObservations(const QString &folder, const QList<Observation> &observations);
// The stored row of that star (letter case ignored), or nothing.
std::optional<catalogue::moddbscreen::ChartRow> storedChart(const QString &folder, const QString &name);
qint64 rowCount(const QString &folder, const QString &table);

// The text of a PDF file as pdftotext lays it out, pages separated by form
// feeds; nothing when pdftotext is not installed.
std::optional<QString> pdfText(const QString &pdf);
}
