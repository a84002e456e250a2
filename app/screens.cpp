#include "screens.h"

#include <QHash>
#include <QPointer>

namespace
{
struct Entry
{
    screens::Factory factory;
    QPointer<QWidget> instance;
};

QHash<QString, Entry> &registry()
{
    static QHash<QString, Entry> entries;
    return entries;
}
}

void screens::registerFactory(const QString &name, Factory factory)
{
    registry()[name].factory = std::move(factory);
}

bool screens::isRegistered(const QString &name)
{
    return registry().contains(name);
}

QWidget *screens::show(const QString &name)
{
    auto it = registry().find(name);
    if (it == registry().end())
        return nullptr;
    if (!it->instance) {
        QWidget *screen = it->factory();
        screen->setAttribute(Qt::WA_DeleteOnClose);
        screen->setObjectName(name);
        // The factory may have shown other screens; look the entry up again.
        registry()[name].instance = screen;
        it = registry().find(name);
    }
    QWidget *screen = it->instance;
    screen->show();
    screen->setWindowState(screen->windowState() & ~Qt::WindowMinimized);
    screen->raise();
    screen->activateWindow();
    return screen;
}

QWidget *screens::find(const QString &name)
{
    const auto it = registry().constFind(name);
    return it == registry().constEnd() ? nullptr : it->instance.data();
}

void screens::unregisterAll()
{
    registry().clear();
}
