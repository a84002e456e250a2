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

    static const screenkit::Control controls[];

    appfiles::Folder m_appFolder;
    QTextEdit *m_text = nullptr;
    QLabel *m_exampleCodeNote = nullptr;
    QPlainTextEdit *m_guide = nullptr;
    QPushButton *m_Command1 = nullptr;
    QPushButton *m_save = nullptr;
};

} // namespace header
