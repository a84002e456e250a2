// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/form.h"

#include "screenkit/ui.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace screenkit
{
namespace
{
constexpr qreal twipsPerPixel = 15.0;
// Room for a window manager's frame before the window has one to measure.
const QMargins assumedFrame(8, 32, 8, 8);

QRect availableArea(const QWidget *widget)
{
    const QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
}
}

Form::Form(int clientWidth, int clientHeight, QWidget *parent)
    : QWidget(parent)
    , m_client(clientWidth, clientHeight)
    , m_scroller(new QScrollArea(this))
    , m_canvas(new QWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroller);
    m_scroller->setFrameShape(QFrame::NoFrame);
    m_scroller->setWidgetResizable(false);
    m_scroller->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroller->setWidget(m_canvas);
    // The tab order goes from control to control; the view follows the focus.
    m_scroller->setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_canvas->isAncestorOf(now))
            m_scroller->ensureWidgetVisible(now);
    });
    m_canvas->setObjectName(QStringLiteral("canvas"));
    m_canvas->setAutoFillBackground(true);
    setScaledFont(m_canvas, ui::dialogFont());
    fitTo(availableArea(this));
    m_fitted = false;
}

QWidget *Form::canvas() const
{
    return m_canvas;
}

qreal Form::scale() const
{
    return m_scale;
}

int Form::pixels(int twips) const
{
    return qRound(twips / twipsPerPixel * m_scale);
}

int Form::twips(int pixels) const
{
    return qRound(pixels * twipsPerPixel / m_scale);
}

bool Form::scrolls() const
{
    return m_scroller->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
}

void Form::place(QWidget *control, int left, int top, int width, int height, Sizing sizing)
{
    for (Placement &placement : m_placements) {
        if (placement.control == control) {
            placement = {control, QRect(left, top, width, height), sizing};
            applyPlacement(placement);
            return;
        }
    }
    m_placements.append({control, QRect(left, top, width, height), sizing});
    applyPlacement(m_placements.constLast());
}

void Form::setScaledFont(QWidget *control, const QFont &font)
{
    FontSetting setting{control, font};
    bool known = false;
    for (FontSetting &existing : m_fonts) {
        if (existing.control == control) {
            existing = setting;
            known = true;
        }
    }
    if (!known)
        m_fonts.append(setting);
    // Pixel sizes, so that the text keeps to the twips of the design whatever
    // dots per inch the screen reports: a point is 4/3 pixel at 96.
    QFont scaled = font;
    scaled.setPixelSize(qMax(1, qRound(font.pointSizeF() * 4.0 / 3.0 * m_scale)));
    control->setFont(scaled);
    for (const Placement &placement : std::as_const(m_placements)) {
        if (placement.control && placement.sizing != Sizing::Fixed
            && (placement.control == control || control->isAncestorOf(placement.control)))
            applyPlacement(placement);
    }
}

void Form::refit(QWidget *control)
{
    for (const Placement &placement : std::as_const(m_placements)) {
        if (placement.control == control)
            applyPlacement(placement);
    }
}

void Form::applyPlacement(const Placement &placement) const
{
    QWidget *control = placement.control;
    if (!control)
        return;
    const QRect &t = placement.twips;
    control->setGeometry(pixels(t.left()), pixels(t.top()), pixels(t.width()), pixels(t.height()));
    switch (placement.sizing) {
    case Sizing::Fixed: break;
    case Sizing::ToText: control->resize(control->sizeHint()); break;
    case Sizing::GrowDown:
        if (control->hasHeightForWidth())
            control->resize(control->width(), qMax(control->height(), control->heightForWidth(control->width())));
        break;
    }
}

void Form::apply()
{
    const QList<FontSetting> fonts = m_fonts;
    m_fonts.clear();
    for (const FontSetting &setting : fonts) {
        if (setting.control)
            setScaledFont(setting.control, setting.font);
    }
    for (const Placement &placement : std::as_const(m_placements))
        applyPlacement(placement);
}

void Form::fitTo(const QRect &available)
{
    const QMargins frame = isWindow() && isVisible() && frameGeometry() != geometry()
        ? QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                   frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom())
        : assumedFrame;
    const QSize room = available.marginsRemoved(frame).size();
    const QSizeF design(m_client.width() / twipsPerPixel, m_client.height() / twipsPerPixel);
    const qreal fitting = qMin(1.0, qMin(room.width() / design.width(), room.height() / design.height()));
    m_scale = qMax(fitting, smallestScale);
    m_fitted = true;

    const QSize canvasSize(pixels(m_client.width()), pixels(m_client.height()));
    m_canvas->setFixedSize(canvasSize);
    apply();
    if (fitting >= smallestScale) {
        m_scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setMinimumSize(canvasSize);
        setMaximumSize(canvasSize);
        resize(canvasSize);
    } else {
        m_scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setMinimumSize(200, 150);
        setMaximumSize(canvasSize
                       + QSize(m_scroller->verticalScrollBar()->sizeHint().width(),
                               m_scroller->horizontalScrollBar()->sizeHint().height()));
        resize(room.boundedTo(maximumSize()));
    }
}

void Form::showEvent(QShowEvent *event)
{
    // The screen the window opens on decides, once.
    if (!m_fitted)
        fitTo(availableArea(this));
    QWidget::showEvent(event);
}
}
