// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"
#include "tonight/planview.h"

#include <QDateTime>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tonight
{

class NightPlot;

// Which of the observer's stars to observe tonight: the plan's list, up now
// first and the most overdue first, beside the selected star's altitude
// through the night. Return on a star opens it on the observation screen;
// F5 plans again for now.
class frmTonight final : public screenkit::Form
{
    Q_OBJECT

public:
    // Tells the present moment; the plan is for it.
    using Clock = std::function<QDateTime()>;

    explicit frmTonight(const appfiles::Folder &appFolder, Clock clock, QWidget *parent = nullptr);

    // Plans for now: asks for the site first where there is none. Called
    // before the screen is first shown and by F5.
    void recompute();
    // The star of the selected row; empty when none is.
    QString selectedStar() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void wirePlan();
    void fill();
    void showSelected();
    void observe(int row);
    void editSite();
    void typePosition();
    void readPositions();
    void sizeColumns();

    appfiles::Folder m_appFolder;
    Clock m_clock;
    std::optional<PlanView> m_view;

    static const screenkit::Control controls[];
    QLabel *m_lblDark;
    QTableWidget *m_grdPlan;
    QLabel *m_lblWithoutPosition;
    NightPlot *m_plotNight;
    QPushButton *m_cmdSite;
    QPushButton *m_cmdPosition;
    QPushButton *m_cmdReadPositions;
    QPushButton *m_cmdRecompute;
    QPushButton *m_cmdHelp;
};

} // namespace tonight
