// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

// Every message box goes through ask(), so that tests can record the boxes and
// answer them without a modal loop. Without a handler a real modal box is shown.
namespace hostkit
{
struct Message
{
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using MessageHandler = std::function<QMessageBox::StandardButton(const Message &)>;

QMessageBox::StandardButton ask(const QString &text, const QString &title,
                                QMessageBox::Icon icon = QMessageBox::Information,
                                QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// An empty handler restores the real message box.
void setMessageHandler(MessageHandler handler);
MessageHandler messageHandler();
}
