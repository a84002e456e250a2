// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFont>
#include <QList>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QScrollArea;

namespace screenkit
{
// A screen drawn up in twips, 15 to a pixel at 96 dots per inch. Its controls
// live on canvas(). The whole is scaled to the screen it opens on: 1:1 where
// it fits, never larger, smaller down to 0.8; below that it keeps 0.8 and
// scrolls. Geometry and fonts given through place() and setFont() follow the
// scale.
class Form : public QWidget
{
    Q_OBJECT

public:
    // How a control's size follows its content once placed.
    enum class Sizing {
        // Exactly the drawn-up size.
        Fixed,
        // Sized to its text; the top left corner stays.
        ToText,
        // A word-wrapped label grows downwards when its text needs more room.
        GrowDown,
    };

    static constexpr qreal smallestScale = 0.8;

    // The client area's size in twips.
    Form(int clientWidth, int clientHeight, QWidget *parent = nullptr);

    QWidget *canvas() const;
    qreal scale() const;
    // Pixels of a length in twips at the present scale.
    int pixels(int twips) const;
    // Twips of a length in pixels at the present scale, for a control the user moved.
    int twips(int pixels) const;

    // A control's place in twips within its parent (the canvas, or a control on it).
    void place(QWidget *control, int left, int top, int width, int height, Sizing sizing = Sizing::Fixed);
    // A control's font as drawn up; its size follows the scale.
    void setScaledFont(QWidget *control, const QFont &font);
    // Sizes a control placed ToText or GrowDown again after its text changed.
    void refit(QWidget *control);

    // Lays the form out for the available area of a screen (frame included).
    void fitTo(const QRect &available);
    // Whether the form is shown smaller than its design needs, in a scrolled view.
    bool scrolls() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Placement
    {
        QPointer<QWidget> control;
        QRect twips;
        Sizing sizing;
    };
    struct FontSetting
    {
        QPointer<QWidget> control;
        QFont font;
    };

    void apply();
    void applyPlacement(const Placement &placement) const;

    QSize m_client;
    qreal m_scale = 1.0;
    bool m_fitted = false;
    QScrollArea *m_scroller;
    QWidget *m_canvas;
    QList<Placement> m_placements;
    QList<FontSetting> m_fonts;
};
}
