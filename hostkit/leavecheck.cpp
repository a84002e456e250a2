// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/leavecheck.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace hostkit
{
namespace
{
const char *const causesValidationProperty = "causesValidation";

bool isUserMove(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason
        || reason == Qt::ShortcutFocusReason;
}

// Sees the events of every widget: an access key and a stray press are
// delivered to the button, not to the widget being left.
class ApplicationWatch final : public QObject
{
public:
    ApplicationWatch(QObject *parent, std::function<bool(QObject *, QEvent *)> filter)
        : QObject(parent)
        , m_filter(std::move(filter))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override { return m_filter(object, event); }

private:
    std::function<bool(QObject *, QEvent *)> m_filter;
};
}

LeaveCheck::LeaveCheck(QWidget *watched)
    : QObject(watched)
    , m_watched(watched)
{
    m_watched->installEventFilter(this);
    new ApplicationWatch(this, [this](QObject *object, QEvent *event) { return filterApplication(object, event); });
}

void LeaveCheck::setCausesValidation(QWidget *widget, bool causes)
{
    widget->setProperty(causesValidationProperty, causes);
}

bool LeaveCheck::causesValidation(const QWidget *widget)
{
    const QVariant value = widget->property(causesValidationProperty);
    return !value.isValid() || value.toBool();
}

bool LeaveCheck::eventFilter(QObject *object, QEvent *event)
{
    if (object == m_watched && event->type() == QEvent::FocusOut)
        return handleFocusOut(static_cast<QFocusEvent *>(event)->reason());
    return QObject::eventFilter(object, event);
}

bool LeaveCheck::filterApplication(QObject *object, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!m_eatingPress)
            return false;
        m_eatingPress = false;
        return true;
    case QEvent::Shortcut:
        // An ambiguous key only moves the focus to its button, which is a
        // move like any other.
        if (static_cast<QShortcutEvent *>(event)->isAmbiguous())
            return false;
        if (auto *button = qobject_cast<QAbstractButton *>(object))
            return handleAccessKey(button);
        return false;
    default: return false;
    }
}

// Runs while Qt delivers the FocusOut: the new focus widget is already set, but
// a mouse press that moved the focus has not been delivered yet.
bool LeaveCheck::handleFocusOut(Qt::FocusReason reason)
{
    if (!isUserMove(reason))
        return false;
    // Qt moves the focus on with a Tab reason when the focused widget is
    // hidden or disabled; the user did not leave it.
    if (!m_watched->isVisible() || !m_watched->isEnabled())
        return false;
    QWidget *target = QApplication::focusWidget();
    if (!target || target == m_watched)
        return false;

    const QPointer<LeaveCheck> alive(this);
    bool cancel = false;
    if (causesValidation(target))
        emit validate(cancel);
    if (!alive)
        return false;
    if (cancel)
        m_watched->setFocus(Qt::OtherFocusReason);
    else
        emit departed();
    if (!alive || QApplication::focusWidget() != m_watched)
        return false;

    // The press that aimed elsewhere must not act there now that the focus
    // stayed here.
    if (reason == Qt::MouseFocusReason)
        armPressEater();
    // The widget has the focus again, so it must not see this FocusOut.
    return true;
}

// The checks can only keep the focus where it has gone, so the focus goes to
// the button first, as a click would take it there.
bool LeaveCheck::handleAccessKey(QAbstractButton *button)
{
    if (QApplication::focusWidget() != m_watched || button->window() != m_watched->window())
        return false;
    const QPointer<LeaveCheck> alive(this);
    const QPointer<QAbstractButton> target(button);
    button->setFocus(Qt::ShortcutFocusReason);
    if (!alive || !target || QApplication::focusWidget() != target)
        return true;
    m_watched->setFocus(Qt::OtherFocusReason);
    return false;
}

void LeaveCheck::armPressEater()
{
    if (m_eatingPress)
        return;
    m_eatingPress = true;
    QTimer::singleShot(0, this, [this] { m_eatingPress = false; });
}
}
