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
    static const screenkit::Control controls[];
    void showEmpty(const QString &text);
    void showCounts();
    void remember();
    void wholeHistory();
    void lastDays();
    void save(bool pdf);

    appfiles::Folder m_appFolder;
    QString m_star;

    CurvePlot *m_plotCurve = nullptr;
    QLabel *m_lblEmpty = nullptr;
    QPushButton *m_cmdWhole = nullptr;
    QPushButton *m_cmdLast90 = nullptr;
    QLabel *m_lblCount = nullptr;
    QLabel *m_lblUndrawn = nullptr;
    QCheckBox *m_chkWholeHistory = nullptr;
    QPushButton *m_cmdPng = nullptr;
    QPushButton *m_cmdPdf = nullptr;
    QLabel *m_lblHint = nullptr;
};

} // namespace lightcurve
