// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace hostkit
{
// Validate-on-leave for one widget. When the user moves the focus away
// (Tab, Backtab, mouse, shortcut), validate() is asked first if the new focus
// widget causes validation; a cancel puts the focus back. Otherwise departed()
// follows, where the "lost focus" checks belong. Focus lost to a message box,
// a window switch or a check that takes the focus back programmatically is no
// departure, so checks never set each other off.
class LeaveCheck final : public QObject
{
    Q_OBJECT

public:
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
    bool handleFocusOut(Qt::FocusReason reason);
    void armPressEater();
    void disarmPressEater();

    QWidget *m_watched;
    bool m_eatingPress = false;
};
}
