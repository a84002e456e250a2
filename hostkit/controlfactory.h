// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "hostkit/messageseam.h"
#include "hostkit/propertybag.h"

#include <QtPlugin>

class QWidget;

namespace hostkit
{
// What a control library hands its host: controls created by programmatic
// name from a saved property set, and saved back into one.
class ControlFactory
{
public:
    virtual ~ControlFactory() = default;

    // nullptr and an error text for a programmatic name the library lacks.
    virtual QWidget *createControl(const QString &progId, const PropertyBag &bag, QWidget *parent, QString *error) = 0;
    // False when the widget is not one of this library's controls.
    virtual bool saveControl(QWidget *control, PropertyBag &bag) = 0;
    // True when no control of the library is alive.
    virtual bool canUnloadNow() const = 0;
    // The library has its own copy of the message seam; the host hands in
    // its handler so that the library's boxes go where the host's go.
    virtual void setMessageHandler(MessageHandler handler) = 0;
};
}

#define ControlFactory_iid "hostkit.ControlFactory/1.0"
Q_DECLARE_INTERFACE(hostkit::ControlFactory, ControlFactory_iid)
