// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/chartreport.h"
#include "outcome/result.h"

#include <QColor>
#include <QPageLayout>

class QPagedPaintDevice;

namespace catalogue
{
// The colours of the report's paper and its texts.
struct ReportInk
{
    QColor paper;
    QColor ink;
};

// Black on white, as the report is printed and saved.
ReportInk dayInk();

// The printable area of a page, in twips from the paper's top left corner:
// the paper within its margins, whether or not the device paints its margins.
QRect reportArea(const QPageLayout &layout);

// Paints every page of the report on a printer, the print preview or a PDF
// writer, starting a new page for each after the first. False when the
// device cannot be painted on.
bool paintChartReport(QPagedPaintDevice *device, const ChartReport &report, const ReportInk &ink);

// Writes the chart list as a PDF file with the given pages, black on white.
// The problem is worded for the box "Chart list not saved".
outcome::Done writeChartReportPdf(const QString &path, const QPageLayout &layout,
                                  const QList<moddbscreen::ChartRow> &rows);
}
