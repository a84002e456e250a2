// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"

#include "app/frmstartup.h"
#include "app/helpwindow.h"
#include "catalogue/frmdatabase.h"
#include "header/frmheadertext.h"
#include "import/frmconvert.h"
#include "lightcurve/frmlightcurve.h"
#include "observe/frmentryscreen.h"
#include "reports/frmreportcheck.h"
#include "tonight/frmtonight.h"

namespace app
{

using screenkit::Screen;

ScreenRegistry::ScreenRegistry(const appfiles::Folder &appFolder, observe::modEntryscreen::Clock clock)
    : m_appFolder(appFolder)
{
    add(Screen::Startup, QStringLiteral("frmStartup"), [this, appFolder] {
        auto *screen = new frmStartup(appFolder);
        // On a first start the header editor, already open, stays in front
        // with the focus: the header is the observer's first task.
        if (screen->load()) {
            screen->setAttribute(Qt::WA_ShowWithoutActivating);
            m_inFront = Screen::HeaderEditor;
        }
        return screen;
    });
    add(Screen::HeaderEditor, QStringLiteral("frmHeadertext"),
        [appFolder] { return new header::frmHeadertext(appFolder); });
    add(Screen::Observation, QStringLiteral("frmEntryscreen"), [appFolder, clock] {
        auto *screen = new observe::frmEntryscreen(appFolder, clock);
        screen->load();
        // Before the observer uploads it: what in the day's report the AAVSO would refuse.
        QObject::connect(screen, &observe::frmEntryscreen::sessionEnded, &reports::frmReportcheck::showFindingsOf);
        return screen;
    });
    add(Screen::ReportCheck, QStringLiteral("frmReportcheck"),
        [appFolder] { return new reports::frmReportcheck(appFolder); });
    add(Screen::Catalogue, QStringLiteral("frmDatabase"), [appFolder] {
        auto *screen = new catalogue::frmDatabase(appFolder);
        screen->load();
        return screen;
    });
    add(
        Screen::LightCurve, QStringLiteral("frmLightcurve"),
        [appFolder] { return new lightcurve::frmLightcurve(appFolder); },
        [](QWidget *screen, const QString &star) { static_cast<lightcurve::frmLightcurve *>(screen)->showstar(star); });
    add(Screen::Import, QStringLiteral("frmConvert"), [appFolder] { return new import::frmConvert(appFolder); });
    add(Screen::Tonight, QStringLiteral("frmTonight"), [appFolder, clock] {
        auto *screen = new tonight::frmTonight(appFolder, clock);
        screen->recompute();
        return screen;
    });
    // From Tonight's list: the observation screen turned to a star, its chart shown.
    m_entries[Screen::Observation].turn = [](QWidget *screen, const QString &star) {
        static_cast<observe::frmEntryscreen *>(screen)->showstar(star);
    };
    screenkit::setNavigator(this);
}

ScreenRegistry::~ScreenRegistry()
{
    screenkit::setNavigator(nullptr);
}

void ScreenRegistry::add(Screen screen, const QString &name, Factory factory, Turn turn)
{
    m_entries.insert(screen, Entry{std::move(factory), name, {}, std::move(turn)});
}

QWidget *ScreenRegistry::instance(Screen screen)
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
    return it->instance;
}

QWidget *ScreenRegistry::show(Screen screen)
{
    QWidget *shown = instance(screen);
    return shown ? present(shown) : nullptr;
}

QWidget *ScreenRegistry::show(Screen screen, const QString &subject)
{
    QWidget *shown = instance(screen);
    if (!shown)
        return nullptr;
    if (const Turn turn = m_entries.value(screen).turn)
        turn(shown, subject);
    return present(shown);
}

QWidget *ScreenRegistry::present(QWidget *shown)
{
    shown->show();
    shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
    if (const auto front = std::exchange(m_inFront, std::nullopt); front && find(*front)) {
        shown->setAttribute(Qt::WA_ShowWithoutActivating, false);
        find(*front)->raise();
        find(*front)->activateWindow();
        return shown;
    }
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
    showHelp(m_appFolder, command, data);
}

} // namespace app
