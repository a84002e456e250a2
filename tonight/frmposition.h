// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "screenkit/controls.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tonight
{
// A position typed for one star of the catalogue: its right ascension and
// declination (J2000), saved into the positions of the planner.
class frmPosition final : public QDialog
{
    Q_OBJECT

public:
    frmPosition(const appfiles::Folder &appFolder, const QString &star, QWidget *parent = nullptr);

    // True when a position was saved.
    static bool edit(const appfiles::Folder &appFolder, const QString &star, QWidget *parent);

    void accept() override;

private:
    appfiles::Folder m_appFolder;
    QString m_star;

    static const screenkit::Control controls[];
    QLineEdit *m_txtStar;
    QLineEdit *m_txtRa;
    QLineEdit *m_txtDec;
    QPushButton *m_cmdOk;
    QPushButton *m_cmdCancel;
};
}
