// SPDX-License-Identifier: GPL-2.0-or-later
#include "leavecheck.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

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
}

LeaveCheck::LeaveCheck(QWidget *watched)
    : QObject(watched)
    , m_watched(watched)
{
    m_watched->installEventFilter(this);
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
    const QEvent::Type type = event->type();
    if (m_eatingPress && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        disarmPressEater();
        return true;
    }
    if (object == m_watched && type == QEvent::FocusOut)
        return handleFocusOut(static_cast<QFocusEvent *>(event)->reason());
    return QObject::eventFilter(object, event);
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

void LeaveCheck::armPressEater()
{
    if (m_eatingPress)
        return;
    m_eatingPress = true;
    qApp->installEventFilter(this);
    QTimer::singleShot(0, this, &LeaveCheck::disarmPressEater);
}

void LeaveCheck::disarmPressEater()
{
    if (!m_eatingPress)
        return;
    m_eatingPress = false;
    qApp->removeEventFilter(this);
}
}
