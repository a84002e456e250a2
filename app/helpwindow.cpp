// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/helpwindow.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace app
{

void showHelp(const appfiles::Folder &folder, screenkit::HelpCommand command, int data)
{
    if (!QFileInfo(folder.help()).isFile())
        return;
    static QPointer<QTextBrowser> browser;
    if (!browser) {
        browser = new QTextBrowser;
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
