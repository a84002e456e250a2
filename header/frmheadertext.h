// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "screenkit/form.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace header
{

// Sets up "header.txt", the header block every daily report begins with.
class frmHeadertext final : public screenkit::Form
{
    Q_OBJECT

public:
    explicit frmHeadertext(const QString &appFolder, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void save();
    void showExampleCodeNote();

    QString m_appFolder;
    QTextEdit *m_text;
    QLabel *m_exampleCodeNote;
    QPushButton *m_save;
};

} // namespace header
