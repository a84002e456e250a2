// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/startup.h"
#include "appfiles/folder.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"

class QLabel;
class QPushButton;
class QStatusBar;

namespace app
{

// The program's first window: runs the start-up preparation, then offers the
// observing session, the chart database and the import.
class frmStartup final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmStartup(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

    // Runs the start-up preparation; tells the user what could not be created.
    // True when it opened the header editor, which then belongs in front.
    bool load();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Back from another window, the line on the backups is read again.
    void changeEvent(QEvent *event) override;

private:
    startup::Hooks hooks();
    // Once the screen has shown itself, so that its status bar tells of the work.
    void indexObservations();
    // When the last good backup was made, or why the last one failed, in panel 3.
    void showBackups();

    void wireButtons();

    appfiles::Folder m_appFolder;

    static const screenkit::Control controls[];
    QPushButton *m_Command1;
    QLabel *m_Image1;
    QPushButton *m_cmdObserve;
    QPushButton *m_cmdDbase;
    QPushButton *m_cmdDownload;
    QPushButton *m_cmdCheckreport;
    QPushButton *m_cmdTonight;
    QStatusBar *m_sbar;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QLabel *m_panel3 = nullptr;
    bool m_editorOpened = false;
};

} // namespace app
