// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "lightcurve/curve.h"
#include "lightcurve/history.h"

#include <qcustomplot.h>

namespace lightcurve
{

// The plot of a light curve: dates across in UT, magnitudes down the side
// with the bright at the top. The wheel zooms, a drag moves, a drag with
// Ctrl held zooms to its rectangle; the mouse over the curve tells of the
// nearest observation. While night is on it is drawn red and dark red only.
class CurvePlot final : public QCustomPlot
{
    Q_OBJECT

public:
    enum class Format { Png, Pdf };

    // The observations' texts for the hover come from the database of the folder.
    explicit CurvePlot(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

    void setHistory(const lightcurve::History &history);
    const lightcurve::History &history() const;

    lightcurve::View view() const;
    void setView(const lightcurve::View &view);

    // Saves the curve in day colours, as the window shows it or its whole
    // history. The problem is worded for the box "Light curve not saved".
    outcome::Done save(const QString &path, Format format, bool wholeHistory);

signals:
    // The observer zoomed or moved the curve, or a view was set.
    void viewChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Night or day colours; marks as shapes (for a vector file) or as
    // pictures drawn once (fast on the screen).
    void applyLook(bool night, bool vectorMarks);
    void layOutTop();
    void setUpGraphs();
    void setUpHover();
    void applyFonts();
    void hover(const QPoint &at);
    void hideHover();

    appfiles::Folder m_appFolder;
    lightcurve::History m_history;
    // The observation the hover tells of.
    qsizetype m_hovered = -1;
    QCPTextElement *m_title;
    QCPGraph *m_recorded;
    QCPGraph *m_imported;
    QCPGraph *m_fainterThan;
    QCPGraph *m_tonight;
    QCPItemTracer *m_pointer;
    QCPItemText *m_hoverText;
    QSharedPointer<QCPAxisTicker> m_dates;
};

} // namespace lightcurve
