// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace lightcurve
{

class CurvePlot;

// The light curve of one star from the observer's own history: what was
// imported, what was recorded here, and tonight's estimates picked out.
class frmLightcurve final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmLightcurve(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

    // Reads the star's observations afresh (letter case ignored) and shows
    // them as the window last showed this star, or whole.
    void showstar(const QString &star);
    QString star() const;

private:
    void showEmpty(const QString &text);
    void showCounts();
    void remember();
    void wholeHistory();
    void lastDays();
    void save(bool pdf);

    appfiles::Folder m_appFolder;
    QString m_star;

    static const screenkit::Control controls[];
    CurvePlot *m_plotCurve;
    QLabel *m_lblEmpty;
    QPushButton *m_cmdWhole;
    QPushButton *m_cmdLast90;
    QLabel *m_lblCount;
    QLabel *m_lblUndrawn;
    QCheckBox *m_chkWholeHistory;
    QPushButton *m_cmdPng;
    QPushButton *m_cmdPdf;
    QLabel *m_lblHint;
};

} // namespace lightcurve
