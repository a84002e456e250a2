// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "catalogue/chartrecord.h"
#include "outcome/result.h"

#include <QList>
#include <QRect>
#include <QString>

// The printed chart list "My Charts": a banded report laid out once into
// pages of placed texts, in twips from the paper's top left corner, which
// the preview, the printer and the PDF all paint alike.
namespace catalogue
{
struct ReportText
{
    enum Font { Title, Heading, Body };
    QRect place;
    QString text;
    Font font = Body;
};

struct ReportPage
{
    QList<ReportText> texts;
};

struct ChartReport
{
    QList<ReportPage> pages;
};

// Every chart of the catalogue, by constellation, then name (letter case
// ignored), whatever the screen's list shows.
outcome::Result<QList<moddbscreen::ChartRow>> readChartList(const appfiles::Folder &appFolder);

// The report on pages whose printable area is the given one: the title once
// at the start; on every page the column headings at the top and "p of P"
// at the bottom; one line per chart; the total at the end. A page too small
// for more still takes one line.
ChartReport layoutChartReport(const QList<moddbscreen::ChartRow> &rows, const QRect &area);
}
