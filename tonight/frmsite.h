// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "screenkit/controls.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tonight
{
// The observing site, edited and written into "site.ini": where the observer
// stands, the lowest altitude seen, what counts as dark, the time zone.
class frmSite final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSite(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

    // Shows the stored site (a new observer's defaults where there is none)
    // and lets the observer edit it; true when a site was written.
    static bool edit(const appfiles::Folder &appFolder, QWidget *parent);

    // Fills the fields from "site.ini"; tells why when it cannot be read.
    void load();

    void accept() override;

private:
    appfiles::Folder m_appFolder;

    static const screenkit::Control controls[];
    QLineEdit *m_txtLatitude;
    QLineEdit *m_txtLongitude;
    QLineEdit *m_txtHeight;
    QLineEdit *m_txtLowestAltitude;
    QLineEdit *m_txtDarkSunAltitude;
    QLineEdit *m_txtTimezone;
    QPushButton *m_cmdOk;
    QPushButton *m_cmdCancel;
};
}
