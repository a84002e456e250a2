// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/messageseam.h"

#include <QApplication>

namespace hostkit
{
namespace
{
MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}

QMessageBox::StandardButton showBox(const Message &message)
{
    QMessageBox box(message.icon, message.title, message.text, message.buttons);
    // Centred over the window it speaks of.
    if (QWidget *over = QApplication::activeWindow())
        box.setParent(over, box.windowFlags());
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
}

QMessageBox::StandardButton ask(const QString &text, const QString &title, QMessageBox::Icon icon,
                                QMessageBox::StandardButtons buttons)
{
    const Message message{text, title, icon, buttons};
    if (const MessageHandler &handler = currentHandler())
        return handler(message);
    return showBox(message);
}

void setMessageHandler(MessageHandler handler)
{
    currentHandler() = std::move(handler);
}

MessageHandler messageHandler()
{
    return currentHandler();
}
}
