// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/nightstyle.h"

#include "screenkit/nightcolours.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>

namespace screenkit::night
{
namespace
{
void reddenInPlace(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            // Premultiplied, so the largest part never exceeds the opacity.
            line[x] = qRgba(qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel))), 0, 0, qAlpha(pixel));
        }
    }
}

// Room around an element's rectangle for what styles draw just outside it
// (focus rings, shadows).
constexpr int spill = 4;

// Lets the base style draw into a layer of its own, then puts the layer on
// the painter in shades of red.
template<typename Draw>
void drawReddened(QPainter *painter, const QRect &rect, Draw draw)
{
    const QRect area = rect.adjusted(-spill, -spill, spill, spill);
    if (area.isEmpty())
        return;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QImage layer(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter inner(&layer);
        inner.setRenderHints(painter->renderHints());
        inner.setFont(painter->font());
        inner.setPen(painter->pen());
        inner.setBrush(painter->brush());
        inner.translate(-area.topLeft());
        draw(&inner);
    }
    reddenInPlace(layer);
    painter->drawImage(area.topLeft(), layer);
}
}

QImage reddened(const QImage &image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    reddenInPlace(result);
    return result;
}

QPixmap reddened(const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return pixmap;
    QPixmap result = QPixmap::fromImage(reddened(pixmap.toImage()));
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    return result;
}

QIcon reddened(const QIcon &icon, const QList<QSize> &scalableSizes)
{
    QIcon result;
    const QList<QSize> sizes = icon.availableSizes().isEmpty() ? scalableSizes : icon.availableSizes();
    for (const QSize &size : sizes) {
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
            result.addPixmap(reddened(icon.pixmap(size, mode)), mode);
    }
    return result;
}

Style::Style(QStyle *base)
    : QProxyStyle(base)
{
}

void Style::polish(QPalette &palette)
{
    palette = night::palette();
}

int Style::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    // The toolkit inverts what lies under the caret (cyan over dark red); the
    // night mode draws it red instead.
    if (metric == PM_TextCursorWidth)
        return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void Style::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                          const QWidget *widget) const
{
    // Buttons flat: the base style's lit bevels would come out as light as the
    // red of the caption, which would then no longer stand out.
    if (element == PE_PanelButtonCommand) {
        const bool enabled = option->state.testFlag(State_Enabled);
        const bool down = option->state.testFlag(State_Sunken) || option->state.testFlag(State_On);
        painter->save();
        painter->fillRect(option->rect, QColor(enabled && !down ? field : screen));
        const int width = option->state.testFlag(State_HasFocus) ? 2 : 1;
        painter->setPen(QPen(QColor(enabled ? text : dimText), width));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option->rect).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
        painter->restore();
        return;
    }
    // A window's plain background is the palette's alone.
    if (element == PE_Widget) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    drawReddened(painter, option->rect,
                 [&](QPainter *inner) { QProxyStyle::drawPrimitive(element, option, inner, widget); });
}

void Style::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                        const QWidget *widget) const
{
    drawReddened(painter, option->rect,
                 [&](QPainter *inner) { QProxyStyle::drawControl(element, option, inner, widget); });
}

void Style::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                               const QWidget *widget) const
{
    drawReddened(painter, option->rect,
                 [&](QPainter *inner) { QProxyStyle::drawComplexControl(control, option, inner, widget); });
}

void Style::drawItemPixmap(QPainter *painter, const QRect &rect, int alignment, const QPixmap &pixmap) const
{
    QProxyStyle::drawItemPixmap(painter, rect, alignment, reddened(pixmap));
}

QPixmap Style::standardPixmap(StandardPixmap pixmap, const QStyleOption *option, const QWidget *widget) const
{
    return reddened(QProxyStyle::standardPixmap(pixmap, option, widget));
}

QIcon Style::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    return reddened(QProxyStyle::standardIcon(icon, option, widget), {{16, 16}, {32, 32}, {64, 64}});
}

QPixmap Style::generatedIconPixmap(QIcon::Mode mode, const QPixmap &pixmap, const QStyleOption *option) const
{
    return reddened(QProxyStyle::generatedIconPixmap(mode, pixmap, option));
}
}
