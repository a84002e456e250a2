// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/reportpaint.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QtMath>

namespace catalogue
{
namespace
{
constexpr qreal twipsPerInch = 1440.0;
// Millimetres, which the layouts keep to a hundredth; points they round to whole ones.
constexpr qreal twipsPerMillimetre = twipsPerInch / 25.4;
constexpr QPageLayout::Unit unit = QPageLayout::Millimeter;

QFont reportFont(ReportText::Font font)
{
    QFont result(QStringLiteral("Arial"));
    result.setStyleHint(QFont::SansSerif);
    switch (font) {
    case ReportText::Title:
        result.setPointSizeF(15.75);
        result.setBold(true);
        break;
    case ReportText::Heading:
        result.setPointSizeF(8.25);
        result.setBold(true);
        break;
    case ReportText::Body: result.setPointSizeF(8.25); break;
    }
    return result;
}
}

ReportInk dayInk()
{
    return {Qt::white, Qt::black};
}

QRect reportArea(const QPageLayout &layout)
{
    const QRectF area = layout.fullRect(unit).marginsRemoved(layout.margins(unit));
    // Whole twips inside the margins.
    return QRect(QPoint(qCeil(area.left() * twipsPerMillimetre), qCeil(area.top() * twipsPerMillimetre)),
                 QPoint(qFloor(area.right() * twipsPerMillimetre) - 1, qFloor(area.bottom() * twipsPerMillimetre) - 1));
}

bool paintChartReport(QPagedPaintDevice *device, const ChartReport &report, const ReportInk &ink)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QPageLayout layout = device->pageLayout();
    // The painter's origin is the top left corner of the area the device
    // paints: the paper's, or the one within its margins.
    const QPointF origin = layout.paintRect(unit).topLeft() * twipsPerMillimetre;
    const QSizeF paper = layout.fullRect(unit).size() * twipsPerMillimetre;
    const qreal sx = device->logicalDpiX() / twipsPerInch;
    const qreal sy = device->logicalDpiY() / twipsPerInch;
    const auto onDevice = [&](const QRectF &twips) {
        return QRectF((twips.left() - origin.x()) * sx, (twips.top() - origin.y()) * sy, twips.width() * sx,
                      twips.height() * sy);
    };
    // Beyond the paper's edge, so that no sliver of another colour shows there.
    const QRectF sheet = onDevice(QRectF(QPointF(0, 0), paper)).adjusted(-8 * sx, -8 * sy, 8 * sx, 8 * sy);
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0 && !device->newPage())
            return false;
        painter.fillRect(sheet, ink.paper);
        painter.setPen(ink.ink);
        for (const ReportText &text : report.pages.at(i).texts) {
            painter.setFont(reportFont(text.font));
            painter.drawText(onDevice(text.place), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text.text);
        }
    }
    return painter.end();
}

outcome::Done writeChartReportPdf(const QString &path, const QPageLayout &layout,
                                  const QList<moddbscreen::ChartRow> &rows)
{
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("My Charts"));
    writer.setCreator(QStringLiteral("varlume"));
    QPageLayout pages = layout;
    pages.setMode(QPageLayout::StandardMode);
    writer.setPageLayout(pages);
    if (!paintChartReport(&writer, layoutChartReport(rows, reportArea(pages)), dayInk()))
        return outcome::failed(QStringLiteral("The file \"%1\" cannot be written: check that its folder exists and "
                                              "that you may write there.")
                                   .arg(QFileInfo(path).absoluteFilePath()))
            .titled(QStringLiteral("Chart list not saved"))
            .as(outcome::Severity::Warning);
    return {};
}
}
