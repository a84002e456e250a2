// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/helpwindow.h"

#include "appfiles/boundedread.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace app
{
namespace
{
// Far beyond the page and any of its pictures.
constexpr qint64 largestHelpFile = 16 * 1024 * 1024;

// The page and the pictures it shows are files of the folder like any
// other: never waited for, never read past a limit.
class HelpBrowser final : public QTextBrowser
{
public:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (!name.isLocalFile())
            return QTextBrowser::loadResource(type, name);
        const outcome::Result<QByteArray> bytes = appfiles::readBounded(name.toLocalFile(), largestHelpFile);
        return bytes ? QVariant(*bytes) : QVariant();
    }
};
}

void showHelp(const appfiles::Folder &folder, screenkit::HelpCommand command, int data)
{
    if (!QFileInfo(folder.help()).isFile())
        return;
    static QPointer<QTextBrowser> browser;
    if (!browser) {
        browser = new HelpBrowser;
        browser->setObjectName(QStringLiteral("quillonHelp"));
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setWindowTitle(QStringLiteral("varlume Help"));
        browser->setOpenExternalLinks(true);
        browser->resize(720, 600);
    }
    QUrl page = QUrl::fromLocalFile(folder.help());
    page.setFragment(command == screenkit::HelpCommand::HelpContext ? QString::number(data)
                                                                    : QStringLiteral("contents"));
    browser->setSource(page);
    browser->scrollToAnchor(page.fragment());
    browser->show();
    browser->raise();
    browser->activateWindow();
}

} // namespace app
