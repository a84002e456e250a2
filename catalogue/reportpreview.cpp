// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/reportpreview.h"

#include "catalogue/chartreport.h"
#include "catalogue/logging.h"
#include "catalogue/reportpaint.h"
#include "screenkit/nightcolours.h"
#include "screenkit/nightmode.h"
#include "screenkit/nightstyle.h"
#include "screenkit/problembox.h"

#include <QAction>
#include <QFileDialog>
#include <QGraphicsView>
#include <QPaintEngine>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>

namespace catalogue
{

ChartReportPreview::ChartReportPreview(const appfiles::Folder &appFolder, QWidget *parent)
    : QPrintPreviewDialog(parent)
    , m_appFolder(appFolder)
    , m_pages(findChild<QPrintPreviewWidget *>())
    , m_view(m_pages ? m_pages->findChild<QGraphicsView *>() : nullptr)
    , m_savePdf(new QAction(QStringLiteral("Save as &PDF..."), this))
{
    setWindowTitle(QStringLiteral("My Charts"));
    m_savePdf->setObjectName(QStringLiteral("savePdf"));
    m_savePdf->setToolTip(QStringLiteral("Save the chart list as a PDF file"));
    if (auto *toolbar = findChild<QToolBar *>()) {
        toolbar->addSeparator();
        toolbar->addAction(m_savePdf);
    } else {
        addAction(m_savePdf);
    }
    connect(m_savePdf, &QAction::triggered, this, &ChartReportPreview::savePdf);
    connect(this, &QPrintPreviewDialog::paintRequested, this, &ChartReportPreview::paint);
    connect(screenkit::night::Mode::instance(), &screenkit::night::Mode::changed, this,
            &ChartReportPreview::applyNight);
    applyNight(screenkit::night::isOn());
}

outcome::Done ChartReportPreview::reload()
{
    outcome::Result<QList<moddbscreen::ChartRow>> rows = catalogue::readChartList(m_appFolder);
    if (!rows)
        return rows.problem();
    m_rows = std::move(*rows);
    if (isVisible() && m_pages)
        m_pages->updatePreview();
    return {};
}

void ChartReportPreview::paint(QPrinter *printer)
{
    // The page is painted whole, margins included, so that at night no
    // margin is left white; the texts keep within the margins all the same.
    printer->setFullPage(true);
    const QPaintEngine *engine = printer->paintEngine();
    const bool onScreen = engine && engine->type() == QPaintEngine::Picture;
    const catalogue::ReportInk ink = onScreen && screenkit::night::isOn()
        ? catalogue::ReportInk{QColor(screenkit::night::black), QColor(screenkit::night::text)}
        : catalogue::dayInk();
    catalogue::paintChartReport(
        printer, catalogue::layoutChartReport(m_rows, catalogue::reportArea(printer->pageLayout())), ink);
}

void ChartReportPreview::savePdf()
{
    // The toolkit's own dialog, which follows the night's colours.
    QFileDialog dialog(this, QStringLiteral("Save the chart list as PDF"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(QStringLiteral("My Charts.pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const outcome::Done saved =
        catalogue::writeChartReportPdf(dialog.selectedFiles().constFirst(), printer()->pageLayout(), m_rows);
    if (!saved)
        screenkit::showProblem(saved.problem(), catalogue::lc());
}

void ChartReportPreview::applyNight(bool on)
{
    // Dark red around the black pages, so that their edges show.
    if (m_view)
        m_view->setBackgroundBrush(on ? QBrush(QColor(screenkit::night::screen)) : QBrush());
    if (on && m_dayIcons.isEmpty()) {
        for (QAction *action : findChildren<QAction *>()) {
            if (action->icon().isNull())
                continue;
            m_dayIcons.append({action, action->icon()});
            // A theme's icon, drawn at any size, at the sizes of a tool bar.
            action->setIcon(screenkit::night::reddened(action->icon(), {{16, 16}, {24, 24}, {32, 32}}));
        }
    } else if (!on) {
        for (const auto &[action, icon] : std::as_const(m_dayIcons))
            action->setIcon(icon);
        m_dayIcons.clear();
    }
    if (isVisible() && m_pages)
        m_pages->updatePreview();
}

} // namespace catalogue
