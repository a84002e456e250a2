// SPDX-License-Identifier: GPL-2.0-or-later
#include "messageseam.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

namespace hostkit
{
namespace
{
MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}

// The icon in the shades of the text colour, for boxes over a dark window.
QPixmap tinted(const QPixmap &icon, const QColor &text)
{
    QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int level = qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel)));
            line[x] =
                qRgba(level * text.red() / 255, level * text.green() / 255, level * text.blue() / 255, qAlpha(pixel));
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(icon.devicePixelRatio());
    return result;
}

QMessageBox::StandardButton showBox(const Message &message)
{
    QMessageBox box(message.icon, message.title, message.text, message.buttons);
    // A box takes the look of the window it stands over: red over the
    // observation screen, where a white box would spoil dark-adapted eyes.
    box.setAttribute(Qt::WA_WindowPropagation);
    if (QWidget *over = QApplication::activeWindow()) {
        box.setParent(over, box.windowFlags());
        const QPalette palette = over->palette();
        if (palette.color(QPalette::Window).value() < 96 && !box.iconPixmap().isNull())
            box.setIconPixmap(tinted(box.iconPixmap(), palette.color(QPalette::WindowText)));
    }
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
