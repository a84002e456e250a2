// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "catalogue/chartrecord.h"
#include "outcome/result.h"

#include <QIcon>
#include <QList>
#include <QPair>
#include <QPrintPreviewDialog>

class QAction;
class QGraphicsView;
class QPrintPreviewWidget;

namespace catalogue
{

// The printed chart list on screen, from where the observer prints it or
// saves it as PDF. While night lasts its pages are red on black, like
// everything else on screen; what it prints or saves is black on white.
class ChartReportPreview final : public QPrintPreviewDialog
{
    Q_OBJECT

public:
    explicit ChartReportPreview(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

    // Reads the whole catalogue afresh and shows it. When the database cannot
    // be read, the pages stay as they were.
    outcome::Done reload();

private:
    void paint(QPrinter *printer);
    void savePdf();
    void applyNight(bool on);

    appfiles::Folder m_appFolder;
    QList<moddbscreen::ChartRow> m_rows;
    QPrintPreviewWidget *m_pages = nullptr;
    QGraphicsView *m_view = nullptr;
    QAction *m_savePdf = nullptr;
    // The toolbar's icons by day, while night shows them red.
    QList<QPair<QAction *, QIcon>> m_dayIcons;
};

} // namespace catalogue
