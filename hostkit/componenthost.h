// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "hostkit/formdesign.h"
#include "hostkit/propertybag.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace hostkit
{
// Identity a control library declares in its plugin metadata, readable
// before the library is loaded.
struct ControlClassIdentity
{
    QString name;
    QString progId;
    QString clsid;
    QString interfaceId;
    QString eventInterfaceId;
    int toolboxBitmap = 0;
};

struct ControlLibraryIdentity
{
    QString name;
    QString fileVersion;
    QString typeLibrary;
    QString typeLibraryId;
    QString typeLibraryVersion;
    int lcid = 0;
    QList<ControlClassIdentity> classes;

    // nullptr when the library has no class of that programmatic name.
    const ControlClassIdentity *findClass(const QString &progId) const;
};

// Creates controls by programmatic name from control libraries that lie, by
// file name, in the application folder. Every failure gives nullptr (or
// false) and an error text naming the library file's full path.
class ComponentHost final
{
public:
    explicit ComponentHost(const QString &appFolder);
    ~ComponentHost();
    Q_DISABLE_COPY(ComponentHost)

    QString libraryPath(const QString &libraryFile) const;

    // Reads the identity without loading the library.
    bool identify(const QString &libraryFile, ControlLibraryIdentity *identity, QString *error) const;

    // Sized from "_extentx"/"_extenty" (hundredths of a millimetre) when the
    // bag has them. A non-empty clsid must match the class's.
    QWidget *createControl(const QString &libraryFile, const QString &progId, const PropertyBag &bag, QWidget *parent,
                           QString *error, const QString &clsid = {});
    // As createControl, and names the widget after the design's control.
    QWidget *createFromDesign(const ControlDesign &design, QWidget *parent, QString *error);

    // Writes the control's properties and its extent; only for controls this
    // host created.
    bool saveControl(QWidget *control, PropertyBag &bag, QString *error = nullptr) const;

    // Unloads every library that has no control alive; returns how many.
    int unloadUnused();

    static int extentToPixels(int hundredthsOfMillimetre);
    static int pixelsToExtent(int pixels);

private:
    struct Library;
    Library *load(const QString &libraryFile, QString *error);
    Library *find(const QString &libraryFile) const;

    QString m_appFolder;
    std::vector<std::unique_ptr<Library>> m_libraries;
};
}
