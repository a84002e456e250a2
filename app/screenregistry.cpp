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
    addStartScreens();
    addObservingScreens(clock);
    addRecordScreens();
    screenkit::setNavigator(this);
}

void ScreenRegistry::addStartScreens()
{
    add(Screen::Startup, QStringLiteral("frmStartup"), [this, folder = m_appFolder] {
        auto *screen = new frmStartup(folder);
        // On a first start the header editor, already open, stays in front
        // with the focus: the header is the observer's first task.
        if (screen->load()) {
            screen->setAttribute(Qt::WA_ShowWithoutActivating);
            m_inFront = Screen::HeaderEditor;
        }
        return screen;
    });
    add(Screen::HeaderEditor, QStringLiteral("frmHeadertext"),
        [folder = m_appFolder] { return new header::frmHeadertext(folder); });
}

void ScreenRegistry::addObservingScreens(const observe::modEntryscreen::Clock &clock)
{
    // From Tonight's list the observation screen is turned to a star, its chart shown.
    add(
        Screen::Observation, QStringLiteral("frmEntryscreen"),
        [folder = m_appFolder, clock] {
            auto *screen = new observe::frmEntryscreen(folder, clock);
            screen->load();
            // Before the observer uploads it: what in the day's report the AAVSO would refuse.
            QObject::connect(screen, &observe::frmEntryscreen::sessionEnded, &reports::frmReportcheck::showFindingsOf);
            return screen;
        },
        [](QWidget *screen, const QString &star) { static_cast<observe::frmEntryscreen *>(screen)->showstar(star); });
    add(Screen::ReportCheck, QStringLiteral("frmReportcheck"),
        [folder = m_appFolder] { return new reports::frmReportcheck(folder); });
    add(Screen::Tonight, QStringLiteral("frmTonight"), [folder = m_appFolder, clock] {
        auto *screen = new tonight::frmTonight(folder, clock);
        screen->recompute();
        return screen;
    });
}

void ScreenRegistry::addRecordScreens()
{
    add(Screen::Catalogue, QStringLiteral("frmDatabase"), [folder = m_appFolder] {
        auto *screen = new catalogue::frmDatabase(folder);
        screen->load();
        return screen;
    });
    add(
        Screen::LightCurve, QStringLiteral("frmLightcurve"),
        [folder = m_appFolder] { return new lightcurve::frmLightcurve(folder); },
        [](QWidget *screen, const QString &star) { static_cast<lightcurve::frmLightcurve *>(screen)->showstar(star); });
    add(Screen::Import, QStringLiteral("frmConvert"),
        [folder = m_appFolder] { return new import::frmConvert(folder); });
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
