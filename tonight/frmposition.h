// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

namespace tonight
{
// A position typed for one star of the catalogue: its right ascension and
// declination (J2000), saved into the positions of the planner.
class frmPosition final : public QDialog
{
    Q_OBJECT

public:
    frmPosition(const QString &appFolder, const QString &star, QWidget *parent = nullptr);

    // True when a position was saved.
    static bool edit(const QString &appFolder, const QString &star, QWidget *parent);

    void accept() override;

private:
    QString m_appFolder;
    QString m_star;
    QLineEdit *m_txtStar;
    QLineEdit *m_txtRa;
    QLineEdit *m_txtDec;
};
}
