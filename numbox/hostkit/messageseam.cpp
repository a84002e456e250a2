#include "messageseam.h"

#include <QApplication>

namespace
{
messageseam::Handler &currentHandler()
{
    static messageseam::Handler handler;
    return handler;
}

QMessageBox::StandardButton showBox(const messageseam::Message &message)
{
    QMessageBox box(message.icon, message.title, message.text, message.buttons,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
}

QMessageBox::StandardButton messageseam::ask(const QString &text, const QString &title,
                                             QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons)
{
    const Message message{text, title, icon, buttons};
    if (const Handler &handler = currentHandler())
        return handler(message);
    return showBox(message);
}

void messageseam::setHandler(Handler handler)
{
    currentHandler() = std::move(handler);
}

messageseam::Handler messageseam::handler()
{
    return currentHandler();
}
