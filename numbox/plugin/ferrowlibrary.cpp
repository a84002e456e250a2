// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/plugin/ferrowlibrary.h"

#include "numbox/numbox.h"

namespace ferrow
{

namespace
{
const QString numboxProgId = QStringLiteral("ferrow.numbox");
}

FerrowLibrary::FerrowLibrary(QObject *parent)
    : QObject(parent)
{
}

QWidget *FerrowLibrary::createControl(const QString &progId, const hostkit::PropertyBag &bag, QWidget *parent,
                                      QString *error)
{
    if (progId.compare(numboxProgId, Qt::CaseInsensitive) != 0) {
        if (error)
            *error = QStringLiteral("ferrow has no control \"%1\"").arg(progId);
        return nullptr;
    }
    auto *control = new ferrow::numbox(parent);
    control->readProperties(bag);
    ++m_liveControls;
    connect(control, &QObject::destroyed, this, [this] { --m_liveControls; });
    return control;
}

bool FerrowLibrary::saveControl(QWidget *control, hostkit::PropertyBag &bag)
{
    auto *box = qobject_cast<ferrow::numbox *>(control);
    if (!box)
        return false;
    box->writeProperties(bag);
    return true;
}

bool FerrowLibrary::canUnloadNow() const
{
    return m_liveControls == 0;
}

void FerrowLibrary::setMessageHandler(hostkit::MessageHandler handler)
{
    hostkit::setMessageHandler(std::move(handler));
}

} // namespace ferrow
