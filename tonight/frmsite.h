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
    static const screenkit::Control controls[];

    appfiles::Folder m_appFolder;
    QLineEdit *m_txtLatitude = nullptr;
    QLineEdit *m_txtLongitude = nullptr;
    QLineEdit *m_txtHeight = nullptr;
    QLineEdit *m_txtLowestAltitude = nullptr;
    QLineEdit *m_txtDarkSunAltitude = nullptr;
    QLineEdit *m_txtTimezone = nullptr;
    QPushButton *m_cmdOk = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};
}
