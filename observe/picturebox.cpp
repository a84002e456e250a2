// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/picturebox.h"

#include "screenkit/nightmode.h"
#include "screenkit/nightstyle.h"

#include <QPaintEvent>
#include <QPainter>

namespace observe
{

PictureBox::PictureBox(QRgb colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(colour)
{
    // The box paints every pixel itself: the picture, or its colour.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage &picture, bool redOnly)
{
    m_picture = picture;
    m_shown = redOnly || !screenkit::night::isOn() ? picture : screenkit::night::reddened(picture);
    updateGeometry();
    update();
}

QImage PictureBox::picture() const
{
    return m_picture;
}

QSize PictureBox::sizeHint() const
{
    return m_picture.isNull() ? QSize() : m_picture.size();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (m_shown.isNull()) {
        painter.fillRect(area, QColor(m_colour));
        return;
    }
    // Only what is exposed: a chart can be many times larger than the frame.
    painter.drawImage(area.topLeft(), m_shown, area);
}

} // namespace observe
