// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/nightmode.h"

#include "screenkit/nightcolours.h"
#include "screenkit/nightstyle.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyleFactory>
#include <QTextEdit>
#include <QToolTip>

namespace screenkit::night
{
namespace
{
struct DayPalette
{
    QPointer<QWidget> widget;
    QPalette palette;
};

// The caret at night: the style gives the toolkit's own caret no width, and
// this draws one in the night's text colour once the field has painted.
class CaretPainter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const QRect caret = caretOf(widget);
        if (caret.isNull())
            return false;
        // The widget paints itself first; filters are not asked again for this call.
        static_cast<QObject *>(widget)->event(event);
        QPainter painter(widget);
        painter.fillRect(QRect(caret.left(), caret.top(), 2, caret.height()), QColor(text));
        return true;
    }

private:
    static QRect caretOf(QWidget *widget)
    {
        if (auto *line = qobject_cast<QLineEdit *>(widget)) {
            if (!line->hasFocus() || line->isReadOnly() || line->hasSelectedText())
                return {};
            return line->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        }
        QWidget *editor = widget->parentWidget();
        if (!editor || !editor->hasFocus())
            return {};
        if (auto *plain = qobject_cast<QPlainTextEdit *>(editor); plain && plain->viewport() == widget) {
            return plain->isReadOnly() || plain->textCursor().hasSelection() ? QRect() : plain->cursorRect();
        }
        if (auto *rich = qobject_cast<QTextEdit *>(editor); rich && rich->viewport() == widget)
            return rich->isReadOnly() || rich->textCursor().hasSelection() ? QRect() : rich->cursorRect();
        return {};
    }
};

struct State
{
    QList<DayPalette> dayPalettes;
    QString dayStyle;
    QPalette dayApplicationPalette;
    QPalette dayToolTipPalette;
    QPointer<CaretPainter> caret;
};

State &state()
{
    static State s;
    return s;
}

void applyDayPalettes(bool night)
{
    QList<DayPalette> &list = state().dayPalettes;
    list.removeIf([](const DayPalette &entry) { return entry.widget.isNull(); });
    for (const DayPalette &entry : std::as_const(list))
        entry.widget->setPalette(night ? night::palette() : entry.palette);
}
}

Hold::Hold()
{
    Mode *mode = Mode::instance();
    if (mode->m_holds++ == 0)
        mode->begin();
}

Hold::~Hold()
{
    Mode *mode = Mode::instance();
    if (--mode->m_holds == 0)
        mode->end();
}

Mode::Mode(QObject *parent)
    : QObject(parent)
{
}

Mode *Mode::instance()
{
    static QPointer<Mode> mode;
    if (!mode)
        mode = new Mode(qApp);
    return mode;
}

bool Mode::isOn() const
{
    return m_holds > 0;
}

void Mode::begin()
{
    State &s = state();
    s.dayStyle = QApplication::style()->name();
    s.dayApplicationPalette = QApplication::palette();
    s.dayToolTipPalette = QToolTip::palette();
    QApplication::setStyle(new Style(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setPalette(night::palette());
    QToolTip::setPalette(night::palette());
    applyDayPalettes(true);
    s.caret = new CaretPainter(this);
    qApp->installEventFilter(s.caret);
    emit changed(true);
}

void Mode::end()
{
    State &s = state();
    delete s.caret;
    QApplication::setStyle(QStyleFactory::create(s.dayStyle));
    QApplication::setPalette(s.dayApplicationPalette);
    QToolTip::setPalette(s.dayToolTipPalette);
    applyDayPalettes(false);
    emit changed(false);
}

bool isOn()
{
    return Mode::instance()->isOn();
}

void setDayPalette(QWidget *widget, const QPalette &palette)
{
    QList<DayPalette> &list = state().dayPalettes;
    const auto known =
        std::find_if(list.begin(), list.end(), [widget](const DayPalette &e) { return e.widget == widget; });
    if (known != list.end())
        known->palette = palette;
    else
        list.append({widget, palette});
    widget->setPalette(isOn() ? night::palette() : palette);
}
}
