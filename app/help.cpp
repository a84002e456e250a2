#include "help.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace
{
QPointer<QTextBrowser> &helpWindow()
{
    static QPointer<QTextBrowser> browser;
    return browser;
}
}

void help::call(const QString &appFolder, int command, int data)
{
    const QString path = appFolder + QStringLiteral("/quillon.html");
    if (!QFileInfo(path).isFile())
        return;
    QPointer<QTextBrowser> &browser = helpWindow();
    if (!browser) {
        browser = new QTextBrowser;
        browser->setObjectName(QStringLiteral("quillonHelp"));
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setWindowTitle(QStringLiteral("varlume Help"));
        browser->setOpenExternalLinks(true);
        browser->resize(720, 600);
    }
    browser->setSource(QUrl::fromLocalFile(path));
    // Topics are anchored by their context number; the contents sit at the top.
    const QString anchor = command == HelpContext ? QString::number(data) : QStringLiteral("contents");
    browser->scrollToAnchor(anchor);
    browser->setProperty("command", command);
    browser->setProperty("data", data);
    browser->show();
    browser->raise();
    browser->activateWindow();
}

QWidget *help::window()
{
    return helpWindow();
}
