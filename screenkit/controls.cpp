// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/controls.h"

#include "screenkit/ui.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace screenkit
{
namespace
{
// Where a table's controls go: the form whose canvas holds them, scaled with
// it, or a dialog that holds them itself.
struct Surface
{
    QWidget *owner;
    QWidget *root;
    Form *form;
};

void setText(QWidget *control, const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(text);
    else if (auto *field = qobject_cast<QLineEdit *>(control))
        field->setText(text);
    else
        Q_ASSERT_X(false, "screenkit::build", "a text for a control that shows none");
}

QWidget *named(const Surface &surface, const char *name)
{
    auto *control = surface.root->findChild<QWidget *>(QLatin1String(name));
    Q_ASSERT_X(control, "screenkit::build", name);
    return control;
}

// What the row says of the control beside its place and font.
void describe(QWidget *control, const Control &row)
{
    if (row.text)
        setText(control, QString::fromUtf8(row.text));
    if (row.tip)
        control->setToolTip(QString::fromUtf8(row.tip));
    if (auto *label = qobject_cast<QLabel *>(control)) {
        if (row.flags & WordWrap)
            label->setWordWrap(true);
        if (row.align)
            label->setAlignment(row.align);
    }
    if (row.flags & Checked)
        qobject_cast<QAbstractButton *>(control)->setChecked(true);
    if (row.focus)
        control->setFocusPolicy(*row.focus);
}

QWidget *make(const Surface &surface, const Control &row)
{
    QWidget *parent = row.parent ? named(surface, row.parent) : surface.root;
    QWidget *control = row.kind.make(parent, surface.owner);
    if (row.name)
        control->setObjectName(QLatin1String(row.name));
    describe(control, row);
    const Twips &at = row.at;
    if (surface.form) {
        if (row.font.points > 0)
            surface.form->setScaledFont(control, ui::msSansSerif(row.font.points, row.font.bold));
        surface.form->place(control, at.left, at.top, at.width, at.height, row.sizing);
    } else {
        Q_ASSERT(row.sizing == Form::Sizing::Fixed);
        if (row.font.points > 0)
            control->setFont(ui::msSansSerif(row.font.points, row.font.bold));
        ui::place(control, at.left, at.top, at.width, at.height);
    }
    if (row.flags & Hidden)
        control->hide();
    if (row.flags & Disabled)
        control->setEnabled(false);
    if (row.kind.keep)
        row.kind.keep(surface.owner, control);
    return control;
}

void build(const Surface &surface, std::span<const Control> table)
{
    QList<std::pair<int, QWidget *>> tabs;
    QList<std::pair<QWidget *, const char *>> buddies;
    for (const Control &row : table) {
        QWidget *control = make(surface, row);
        if (row.tab > 0)
            tabs.append({row.tab, control});
        if (row.buddy)
            buddies.append({control, row.buddy});
    }
    // A buddy may come later in the table than its label.
    for (const auto &[label, buddy] : std::as_const(buddies))
        qobject_cast<QLabel *>(label)->setBuddy(named(surface, buddy));
    std::stable_sort(tabs.begin(), tabs.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QWidget *> order;
    for (const auto &[place, control] : std::as_const(tabs))
        order.append(control);
    chainTabOrder(order);
}
}

void build(Form &form, std::span<const Control> table)
{
    build(Surface{&form, form.canvas(), &form}, table);
}

void build(QWidget &dialog, std::span<const Control> table)
{
    dialog.setFont(ui::dialogFont());
    build(Surface{&dialog, &dialog, nullptr}, table);
}

void chainTabOrder(const QList<QWidget *> &order)
{
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}
}
