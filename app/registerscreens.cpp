#include "registerscreens.h"

#include "frmentryscreen.h"
#include "frmheadertext.h"
#include "frmstartup.h"
#include "screens.h"

void registerScreens(const QString &appFolder)
{
    screens::registerFactory(QStringLiteral("frmStartup"), [appFolder] {
        auto *screen = new frmStartup(appFolder);
        screen->load();
        return screen;
    });
    screens::registerFactory(QStringLiteral("frmHeadertext"), [appFolder] { return new frmHeadertext(appFolder); });
    screens::registerFactory(QStringLiteral("frmEntryscreen"), [appFolder] { return new frmEntryscreen(appFolder); });
}
