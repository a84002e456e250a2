// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "screenkit/form.h"

#include <QList>
#include <QtGlobal>

#include <optional>
#include <span>

// A screen's controls declared as one table of data, one row a control, that
// build() reads:
//
//   const screenkit::Control frmExample::controls[] = {
//       {.name = "lblName", .kind = screenkit::widget<QLabel>, .at = {240, 240, 1215, 300}, .text = "&Name:",
//        .buddy = "txtName"},
//       {.name = "txtName", .kind = screenkit::into<&frmExample::m_txtName>, .at = {1560, 240, 2535, 375},
//        .tip = "The star's name", .tab = 1},
//   };
//   screenkit::build(*this, controls);
//
// The table is a static member of the screen (declared "static const
// screenkit::Control controls[];", defined in its source before the
// constructor), so that its rows may name the screen's private members. The
// builder makes the controls in the order of the rows (later rows lie over
// earlier ones), as children of the form's canvas or of the control a row
// names as its parent (which comes first in the table); Qt's parents own them.
// The screen's constructor runs the builder first, so a member a row fills
// (into) is set before anything reads it and is declared without a value.
// What a table cannot say (connections, checks on leaving, models, palettes)
// the screen wires in code after the build.
namespace screenkit
{
// Creates a row's control as a child of parent; owner is the screen.
using MakeControl = QWidget *(*)(QWidget *parent, QWidget *owner);
// Hands a row's control to the screen's typed member.
using KeepControl = void (*)(QWidget *owner, QWidget *control);

// What a row makes and where the screen keeps it; see widget, into and adopt.
struct Kind
{
    MakeControl make;
    // Null when the screen keeps no pointer to the control.
    KeepControl keep;
};

// A rectangle in twips within the parent, as drawn up.
struct Twips
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A font of the layouts ("MS Sans Serif"); without points the control keeps its parent's.
struct DesignFont
{
    qreal points = 0;
    bool bold = false;
};

// What a control is at first, beyond the kind's defaults.
enum ControlFlag : unsigned {
    Hidden = 1U << 0,
    Disabled = 1U << 1,
    // A check box or option button.
    Checked = 1U << 2,
    // A label.
    WordWrap = 1U << 3,
};

struct Control
{
    // The object name, by which tests and the table's own rows (parent, buddy)
    // find it; none for a caption nothing needs to find.
    const char *name = nullptr;
    Kind kind{};
    Twips at{};
    // Text (UTF-8) of a label, button, group box or line field; "&" marks the access key.
    const char *text = nullptr;
    const char *tip = nullptr;
    // Its place in the tab order, from 1. Without one it keeps its place in the
    // order the controls were made: the rows' order.
    int tab = 0;
    Form::Sizing sizing = Form::Sizing::Fixed;
    DesignFont font{};
    // ControlFlag values, as Hidden | Disabled.
    unsigned flags = 0;
    // A label's alignment; none keeps the label's default.
    Qt::Alignment align{};
    // How it takes the focus, where not as its kind does.
    std::optional<Qt::FocusPolicy> focus{};
    // The name of an earlier row that holds this control; none: the canvas.
    const char *parent = nullptr;
    // A label's buddy, which its access key focuses: the name of another row.
    const char *buddy = nullptr;
};

// Builds the table's controls on the form's canvas, geometry and fonts scaled
// with the form, and chains the rows that have a tab place in their order.
void build(Form &form, std::span<const Control> table);
// The same on a plain dialog, set in the standard dialog font: its controls
// are its children, drawn up at one pixel to 15 twips and never scaled; a
// Fixed sizing only.
void build(QWidget &dialog, std::span<const Control> table);
// Makes Tab go from each control of the list to the next.
void chainTabOrder(const QList<QWidget *> &order);

template<typename>
struct MemberTraits;
template<typename Owner, typename W>
struct MemberTraits<W * Owner::*>
{
    using owner = Owner;
    using control = W;
};

template<typename W>
QWidget *makeControl(QWidget *parent, QWidget *)
{
    return new W(parent);
}

template<auto member>
void keepControl(QWidget *owner, QWidget *control)
{
    using Traits = MemberTraits<decltype(member)>;
    Q_ASSERT_X(dynamic_cast<typename Traits::owner *>(owner), "screenkit::build", "a row of another screen's table");
    static_cast<typename Traits::owner *>(owner)->*member = static_cast<typename Traits::control *>(control);
}

template<auto member>
QWidget *adoptControl(QWidget *parent, QWidget *owner)
{
    QWidget *control = static_cast<typename MemberTraits<decltype(member)>::owner *>(owner)->*member;
    Q_ASSERT(control && control->parentWidget() == parent);
    return control;
}

// A control of type W the screen keeps no pointer to.
template<typename W>
constexpr Kind widget{&makeControl<W>, nullptr};
// A control of the member's type, kept in the member: into<&frmExample::m_txtName>;
// into<&frmExample::m_picture, &makePicture> where its constructor asks more
// than a parent.
template<auto member, MakeControl make = &makeControl<typename MemberTraits<decltype(member)>::control>>
constexpr Kind into{make, &keepControl<member>};
// A control the screen made already in its member, on the parent the row
// names: the rest of the row applies to it.
template<auto member>
constexpr Kind adopt{&adoptControl<member>, nullptr};
}
