// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "screenkit/controls.h"
#include "screenkit/form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;

namespace header
{

// Sets up "header.txt", the header block every daily report begins with.
class frmHeadertext final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmHeadertext(const appfiles::Folder &appFolder, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void save();
    void showExampleCodeNote();

    appfiles::Folder m_appFolder;

    static const screenkit::Control controls[];
    QTextEdit *m_text;
    QLabel *m_exampleCodeNote;
    QPlainTextEdit *m_guide;
    QPushButton *m_Command1;
    QPushButton *m_save;
};

} // namespace header
