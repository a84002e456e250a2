// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenregistry.h"

#include "frmconvert.h"
#include "frmentryscreen.h"
#include "frmheadertext.h"
#include "frmstartup.h"
#include "helpwindow.h"

using screenkit::Screen;

ScreenRegistry::ScreenRegistry(const QString &appFolder)
    : m_appFolder(appFolder)
{
    add(Screen::Startup, QStringLiteral("frmStartup"), [appFolder] {
        auto *screen = new frmStartup(appFolder);
        screen->load();
        return screen;
    });
    add(Screen::HeaderEditor, QStringLiteral("frmHeadertext"), [appFolder] { return new frmHeadertext(appFolder); });
    add(Screen::Observation, QStringLiteral("frmEntryscreen"), [appFolder] { return new frmEntryscreen(appFolder); });
    add(Screen::Import, QStringLiteral("frmConvert"), [appFolder] { return new frmConvert(appFolder); });
    screenkit::setNavigator(this);
}

ScreenRegistry::~ScreenRegistry()
{
    screenkit::setNavigator(nullptr);
}

void ScreenRegistry::add(Screen screen, const QString &name, Factory factory)
{
    m_entries.insert(screen, Entry{std::move(factory), name, {}});
}

QWidget *ScreenRegistry::show(Screen screen)
{
    auto it = m_entries.find(screen);
    if (it == m_entries.end())
        return nullptr;
    if (!it->instance) {
        QWidget *made = it->factory();
        made->setAttribute(Qt::WA_DeleteOnClose);
        made->setObjectName(it->name);
        // The factory may have shown other screens; look the entry up again.
        it = m_entries.find(screen);
        it->instance = made;
    }
    QWidget *shown = it->instance;
    shown->show();
    shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
    shown->raise();
    shown->activateWindow();
    return shown;
}

QWidget *ScreenRegistry::find(Screen screen) const
{
    const auto it = m_entries.constFind(screen);
    return it == m_entries.constEnd() ? nullptr : it->instance.data();
}

void ScreenRegistry::help(screenkit::HelpCommand command, int data)
{
    showHelp(appfiles::Folder(m_appFolder), command, data);
}
