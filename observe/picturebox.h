// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace observe
{

// A picture box of the chart viewer: shows its picture at the picture's own
// pixel size, whatever the screen's scale, on the box's colour while it has
// none. It keeps the picture as loaded and filtered; at night a picture that
// is not red already is shown in shades of red, computed once, so that a
// large chart is not converted again at every paint while it is dragged.
class PictureBox final : public QWidget
{
    Q_OBJECT

public:
    PictureBox(QRgb colour, QWidget *parent);

    // redOnly: the picture has no green or blue part (the night filter ran).
    void setPicture(const QImage &picture, bool redOnly);
    QImage picture() const;
    // The picture's size; none while the box is empty.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRgb m_colour;
    QImage m_picture;
    QImage m_shown;
};

} // namespace observe
