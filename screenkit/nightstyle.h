// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QImage>
#include <QProxyStyle>

namespace screenkit::night
{
// Shades of red only: each pixel keeps its brightness (the largest of its
// red, green and blue parts) and its opacity, with green and blue cleared.
QImage reddened(const QImage &image);
QPixmap reddened(const QPixmap &pixmap);
// Every pixmap of the icon reddened, in each mode; an icon drawn at any size
// (a scalable one) at the sizes given.
QIcon reddened(const QIcon &icon, const QList<QSize> &scalableSizes);

// The program's style at night: everything the style draws (frames, buttons,
// scroll bars, check marks, icons, tool tips) comes out in shades of red, and
// the text caret is left to be drawn red by the night mode instead of being
// inverted to cyan over dark red.
class Style final : public QProxyStyle
{
    Q_OBJECT

public:
    explicit Style(QStyle *base);

    void polish(QPalette &palette) override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    void drawItemPixmap(QPainter *painter, const QRect &rect, int alignment, const QPixmap &pixmap) const override;
    QPixmap standardPixmap(StandardPixmap pixmap, const QStyleOption *option = nullptr,
                           const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap &pixmap, const QStyleOption *option) const override;
};
}
