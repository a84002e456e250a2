// SPDX-License-Identifier: GPL-2.0-or-later
#include "numbox/designer/numboxdesignerplugin.h"

#include "numbox/numbox.h"

#include <QIcon>

namespace ferrow
{

NumboxDesignerPlugin::NumboxDesignerPlugin(QObject *parent)
    : QObject(parent)
{
}

QString NumboxDesignerPlugin::name() const
{
    return QStringLiteral("ferrow::numbox");
}

QString NumboxDesignerPlugin::group() const
{
    return QStringLiteral("ferrow");
}

QString NumboxDesignerPlugin::toolTip() const
{
    return QStringLiteral("Whole number field with a range check on leaving");
}

QString NumboxDesignerPlugin::whatsThis() const
{
    return QStringLiteral("A field that takes a whole number and checks it against minval and "
                          "maxval when the user leaves it.");
}

QString NumboxDesignerPlugin::includeFile() const
{
    return QStringLiteral("numbox.h");
}

QIcon NumboxDesignerPlugin::icon() const
{
    return QIcon(QStringLiteral(":/ferrow/numbox.xpm"));
}

bool NumboxDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *NumboxDesignerPlugin::createWidget(QWidget *parent)
{
    return new ferrow::numbox(parent);
}

bool NumboxDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void NumboxDesignerPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

// A newly placed field gets the size of the observation screen's fields.
QString NumboxDesignerPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"ferrow::numbox\" name=\"numbox\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>65</width><height>33</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n");
}

} // namespace ferrow
