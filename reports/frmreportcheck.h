// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "reports/reportcheck.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace reports
{

// The day's reports checked before upload: the files of "obs", newest first,
// and what the AAVSO would refuse or take wrongly in the chosen one; below,
// how many lines of each the AAVSO holds, and the chosen one's lines marked.
class frmReportcheck final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmReportcheck(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

    // Chooses a report in the list and shows its findings.
    void choose(const QString &report);

    // Checks a report and, only when it has findings, shows them in this
    // window: what the observer sees when the observation screen closes.
    static void showFindingsOf(const QString &report);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void sizeAllColumns();
    void listreports(const QString &chosen);
    void checkchosen();
    void showledgers();
    void showledgerlines();
    // No longer tells the chosen withdrawn line the AAVSO holds.
    void dismiss();

    appfiles::Folder m_appFolder;

    static const screenkit::Control controls[];
    QLabel *m_lblReports;
    QListWidget *m_lstReports;
    QLabel *m_lblSummary;
    QTableWidget *m_grdFindings;
    QLabel *m_lblNotes;
    // What the AAVSO holds: of each report, newest first, and of the chosen one's lines.
    QLabel *m_lblLedger;
    QTableWidget *m_grdLedger;
    QTableWidget *m_grdLedgerlines;
    modReportcheck::Ledgers m_ledgers;
    QPushButton *m_cmdRecheck;
    QPushButton *m_cmdDismiss;
    QPushButton *m_cmdClose;
};

} // namespace reports
