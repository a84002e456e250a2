// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "hostkit/controlfactory.h"

#include <QObject>

namespace ferrow
{

// The ferrow library's entry point: creates numbox controls by programmatic
// name and keeps count of the live ones so the host knows when it may unload.
class FerrowLibrary final : public QObject, public hostkit::ControlFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ControlFactory_iid FILE "ferrow.json")
    Q_INTERFACES(hostkit::ControlFactory)

public:
    explicit FerrowLibrary(QObject *parent = nullptr);

    QWidget *createControl(const QString &progId, const hostkit::PropertyBag &bag, QWidget *parent,
                           QString *error) override;
    bool saveControl(QWidget *control, hostkit::PropertyBag &bag) override;
    bool canUnloadNow() const override;
    void setMessageHandler(hostkit::MessageHandler handler) override;

private:
    int m_liveControls = 0;
};

} // namespace ferrow
