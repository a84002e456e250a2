// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/startup.h"
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
    explicit frmStartup(const QString &appFolder, QWidget *parent = nullptr);

    // Runs the start-up preparation; tells the user what could not be created.
    // True when it opened the header editor, which then belongs in front.
    bool load();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    startup::Hooks hooks();
    // Once the screen has shown itself, so that its status bar tells of the work.
    void indexObservations();

    QLabel *makeLabel(const char *name, const QString &text, qreal points, bool bold, int left, int top, int width,
                      int height);
    QPushButton *makeButton(const char *name, const QString &text, int left, int top, int width, int height);
    void makeLine(const char *name, int x, int top, int bottom);

    QString m_appFolder;
    QLabel *m_panel1;
    QLabel *m_panel2;
    bool m_editorOpened = false;
};

} // namespace app
