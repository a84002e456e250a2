// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

class QAbstractButton;
class QWidget;

namespace hostkit
{
// Validate-on-leave for one widget. When the user moves the focus away
// (Tab, Backtab, mouse, shortcut), validate() is asked first if the new focus
// widget causes validation; a cancel puts the focus back. Otherwise departed()
// follows, where the "lost focus" checks belong. Focus lost to a message box,
// a window switch or a check that takes the focus back programmatically is no
// departure, so checks never set each other off.
//
// An access key clicks its button without moving the focus; while the widget
// has the focus, the button's access key counts as a move to the button, so
// the checks run before it acts. A button the checks keep the focus from does
// not act; otherwise the focus stays in the widget, where the key found it.
class LeaveCheck final : public QObject
{
    Q_OBJECT

public:
    // Watches for the widget's lifetime; the widget owns the check.
    explicit LeaveCheck(QWidget *watched);

    // Whether moving the focus to the widget first asks the widget being left
    // to validate. Widgets without the setting cause validation.
    static void setCausesValidation(QWidget *widget, bool causes);
    static bool causesValidation(const QWidget *widget);

signals:
    void validate(bool &cancel);
    void departed();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    bool filterApplication(QObject *object, QEvent *event);
    bool handleFocusOut(Qt::FocusReason reason);
    bool handleAccessKey(QAbstractButton *button);
    void armPressEater();

    QWidget *m_watched;
    bool m_eatingPress = false;
};
}
