// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "hostkit/propertybag.h"

#include <QList>
#include <QString>

namespace hostkit
{
// One control of a screen's saved design.
struct ControlDesign
{
    QString name;
    QString progId;
    QString library;
    QString clsid;
    PropertyBag properties;
};

// A screen's saved design: a sequence of blocks
//
//   Begin <progId> <name>
//      Library = "<library file>"
//      Clsid = "{...}"
//      <property> = <value>
//      ...
//   End
//
// Blank lines and lines starting with an apostrophe are ignored.
class FormDesign final
{
public:
    QList<ControlDesign> controls() const;
    // nullptr when there is no control of that name (case-insensitive).
    const ControlDesign *control(const QString &name) const;
    void add(const ControlDesign &control);

    QString toText() const;
    // An empty design plus an error text naming the line when the text is
    // not well formed.
    static FormDesign fromText(const QString &text, QString *error = nullptr);

private:
    QList<ControlDesign> m_controls;
};
}
