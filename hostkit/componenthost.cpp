// SPDX-License-Identifier: GPL-2.0-or-later
#include "hostkit/componenthost.h"

#include "hostkit/controlfactory.h"
#include "hostkit/messageseam.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace hostkit
{
struct ComponentHost::Library
{
    QString file;
    QString path;
    ControlLibraryIdentity identity;
    std::unique_ptr<QPluginLoader> loader;
    ControlFactory *factory = nullptr;
    QList<QPointer<QWidget>> controls;
};

namespace
{
const char *const extentX = "_extentx";
const char *const extentY = "_extenty";

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

ControlClassIdentity classIdentity(const QJsonObject &json)
{
    ControlClassIdentity identity;
    identity.name = json.value(QLatin1String("Name")).toString();
    identity.progId = json.value(QLatin1String("ProgId")).toString();
    identity.clsid = json.value(QLatin1String("Clsid")).toString();
    identity.interfaceId = json.value(QLatin1String("Interface")).toObject().value(QLatin1String("Uuid")).toString();
    identity.eventInterfaceId = json.value(QLatin1String("Events")).toObject().value(QLatin1String("Uuid")).toString();
    identity.toolboxBitmap = json.value(QLatin1String("ToolboxBitmap")).toInt();
    return identity;
}

// Every box a library shows goes through the host's seam.
QMessageBox::StandardButton forwardToHost(const Message &message)
{
    return ask(message.text, message.title, message.icon, message.buttons);
}
}

const ControlClassIdentity *ControlLibraryIdentity::findClass(const QString &progId) const
{
    for (const ControlClassIdentity &identity : classes) {
        if (identity.progId.compare(progId, Qt::CaseInsensitive) == 0)
            return &identity;
    }
    return nullptr;
}

ComponentHost::ComponentHost(const QString &appFolder)
    : m_appFolder(appFolder)
{
}

// Destroying a QPluginLoader leaves its library loaded, so controls may
// outlive the host.
ComponentHost::~ComponentHost() = default;

QString ComponentHost::libraryPath(const QString &libraryFile) const
{
    return QDir(m_appFolder).absoluteFilePath(libraryFile);
}

bool ComponentHost::identify(const QString &libraryFile, ControlLibraryIdentity *identity, QString *error) const
{
    const QString path = libraryPath(libraryFile);
    if (!QFileInfo(path).isFile())
        return fail(error, QStringLiteral("The control library %1 does not exist.").arg(path));

    QPluginLoader loader(path);
    const QJsonObject meta = loader.metaData();
    if (meta.isEmpty()) {
        return fail(error, QStringLiteral("The file %1 is not a control library: %2").arg(path, loader.errorString()));
    }
    const QJsonObject data = meta.value(QLatin1String("MetaData")).toObject();
    const QJsonObject typeLibrary = data.value(QLatin1String("TypeLibrary")).toObject();
    ControlLibraryIdentity result;
    result.name = data.value(QLatin1String("Library")).toString();
    result.fileVersion = data.value(QLatin1String("FileVersion")).toString();
    result.typeLibrary = typeLibrary.value(QLatin1String("Name")).toString();
    result.typeLibraryId = typeLibrary.value(QLatin1String("Uuid")).toString();
    result.typeLibraryVersion = typeLibrary.value(QLatin1String("Version")).toString();
    result.lcid = typeLibrary.value(QLatin1String("Lcid")).toInt();
    const QJsonArray classes = data.value(QLatin1String("Classes")).toArray();
    for (const QJsonValue &value : classes)
        result.classes.append(classIdentity(value.toObject()));

    const bool complete =
        std::all_of(result.classes.cbegin(), result.classes.cend(),
                    [](const ControlClassIdentity &c) { return !c.progId.isEmpty() && !c.clsid.isEmpty(); });
    if (meta.value(QLatin1String("IID")).toString() != QLatin1String(ControlFactory_iid) || result.name.isEmpty()
        || result.classes.isEmpty() || !complete) {
        return fail(error, QStringLiteral("The file %1 does not identify itself as a control library.").arg(path));
    }
    if (identity)
        *identity = result;
    return true;
}

ComponentHost::Library *ComponentHost::find(const QString &libraryFile) const
{
    const QString path = libraryPath(libraryFile);
    for (const auto &library : m_libraries) {
        if (library->path == path)
            return library.get();
    }
    return nullptr;
}

ComponentHost::Library *ComponentHost::load(const QString &libraryFile, QString *error)
{
    if (Library *library = find(libraryFile))
        return library;

    auto library = std::make_unique<Library>();
    library->file = libraryFile;
    library->path = libraryPath(libraryFile);
    if (!identify(libraryFile, &library->identity, error))
        return nullptr;

    library->loader = std::make_unique<QPluginLoader>(library->path);
    if (!library->loader->load()) {
        fail(error,
             QStringLiteral("The control library %1 could not be loaded: %2")
                 .arg(library->path, library->loader->errorString()));
        return nullptr;
    }
    library->factory = qobject_cast<ControlFactory *>(library->loader->instance());
    if (!library->factory) {
        library->loader->unload();
        fail(error, QStringLiteral("The control library %1 does not create controls.").arg(library->path));
        return nullptr;
    }
    library->factory->setMessageHandler(forwardToHost);
    m_libraries.push_back(std::move(library));
    return m_libraries.back().get();
}

QWidget *ComponentHost::createControl(const QString &libraryFile, const QString &progId, const PropertyBag &bag,
                                      QWidget *parent, QString *error, const QString &clsid)
{
    const QString path = libraryPath(libraryFile);
    ControlLibraryIdentity identity;
    if (Library *loaded = find(libraryFile))
        identity = loaded->identity;
    else if (!identify(libraryFile, &identity, error))
        return nullptr;

    const ControlClassIdentity *controlClass = identity.findClass(progId);
    if (!controlClass) {
        fail(error, QStringLiteral("The control library %1 has no control \"%2\".").arg(path, progId));
        return nullptr;
    }
    if (!clsid.isEmpty() && clsid.compare(controlClass->clsid, Qt::CaseInsensitive) != 0) {
        fail(error,
             QStringLiteral("The control \"%1\" of %2 has the class identifier %3, not %4.")
                 .arg(progId, path, controlClass->clsid, clsid));
        return nullptr;
    }

    Library *library = load(libraryFile, error);
    if (!library)
        return nullptr;
    QString reason;
    QWidget *control = library->factory->createControl(progId, bag, parent, &reason);
    if (!control) {
        fail(error, QStringLiteral("The control library %1 could not create \"%2\": %3").arg(path, progId, reason));
        return nullptr;
    }
    if (bag.contains(QLatin1String(extentX)) && bag.contains(QLatin1String(extentY))) {
        control->resize(extentToPixels(bag.read(QLatin1String(extentX)).toInt()),
                        extentToPixels(bag.read(QLatin1String(extentY)).toInt()));
    }
    library->controls.removeAll(nullptr);
    library->controls.append(control);
    return control;
}

QWidget *ComponentHost::createFromDesign(const ControlDesign &design, QWidget *parent, QString *error)
{
    QWidget *control = createControl(design.library, design.progId, design.properties, parent, error, design.clsid);
    if (control)
        control->setObjectName(design.name);
    return control;
}

bool ComponentHost::saveControl(QWidget *control, PropertyBag &bag, QString *error) const
{
    for (const auto &library : m_libraries) {
        if (!library->controls.contains(control))
            continue;
        // The extent comes first, as the hosting side writes it before the
        // control writes its own properties.
        bag.write(QLatin1String(extentX), pixelsToExtent(control->width()));
        bag.write(QLatin1String(extentY), pixelsToExtent(control->height()));
        if (!library->factory->saveControl(control, bag)) {
            return fail(
                error,
                QStringLiteral("The control library %1 could not save %2.").arg(library->path, control->objectName()));
        }
        return true;
    }
    return fail(error, QStringLiteral("%1 was not created by this host.").arg(control->objectName()));
}

int ComponentHost::unloadUnused()
{
    int unloaded = 0;
    for (auto it = m_libraries.begin(); it != m_libraries.end();) {
        Library &library = **it;
        if (!library.factory->canUnloadNow()) {
            ++it;
            continue;
        }
        library.loader->unload();
        it = m_libraries.erase(it);
        ++unloaded;
    }
    return unloaded;
}

int ComponentHost::extentToPixels(int hundredthsOfMillimetre)
{
    return qRound(hundredthsOfMillimetre * 96.0 / 2540.0);
}

int ComponentHost::pixelsToExtent(int pixels)
{
    return qRound(pixels * 2540.0 / 96.0);
}
}
