// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/largecheckbox.h"

#include <QPainter>
#include <QPainterPath>

namespace screenkit
{
LargeCheckBox::LargeCheckBox(QWidget *parent)
    : QCheckBox(parent)
{
}

QSize LargeCheckBox::sizeHint() const
{
    const int side = qMax(QCheckBox::sizeHint().height(), fontMetrics().height() + 8);
    return {side, side};
}

bool LargeCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void LargeCheckBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height());
    const QRectF box(0.5, 0.5, side - 1.0, side - 1.0);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(QPen(palette().color(group, QPalette::Text), hasFocus() ? 2.0 : 1.0));
    painter.setBrush(palette().color(group, QPalette::Base));
    painter.drawRect(box.adjusted(hasFocus() ? 0.5 : 0.0, hasFocus() ? 0.5 : 0.0, 0, 0));
    if (checkState() == Qt::Unchecked)
        return;
    QPainterPath tick;
    tick.moveTo(box.left() + side * 0.22, box.top() + side * 0.52);
    tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.72);
    tick.lineTo(box.left() + side * 0.78, box.top() + side * 0.28);
    painter.setPen(QPen(palette().color(group, QPalette::Text), qMax(2.0, side / 8.0), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}
}
