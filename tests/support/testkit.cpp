// SPDX-License-Identifier: GPL-2.0-or-later
#include "testkit.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>

using namespace hostkit;

const QByteArray observerHeader =
    "#TYPE=Visual\r\n#OBSCODE=XYZ\r\n#SOFTWARE=varlume\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

const QByteArray defaultHeaderBytes =
    "#TYPE=Visual\r\n#OBSCODE=KTV\r\n#SOFTWARE=Halvek\r\n#DELIM=|\r\n#DATE=JD\r\n#OBSTYPE=Visual\r\n";

void typeInto(QWidget *field, const QString &text)
{
    QWidget *target = field->focusProxy() ? field->focusProxy() : field;
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::keyClicks(target, text);
}

hostkit::FormDesign entryScreenDesign()
{
    QFile file(QStringLiteral(ENTRY_SCREEN_DESIGN));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return hostkit::FormDesign::fromText(QString::fromUtf8(file.readAll()));
}

namespace
{
QTextBrowser *helpWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("quillonHelp") && window->isVisible())
            return qobject_cast<QTextBrowser *>(window);
    }
    return nullptr;
}
}

QString shownHelpTopic()
{
    const QTextBrowser *browser = helpWindow();
    return browser ? browser->source().fragment() : QString();
}

void closeHelp()
{
    if (QTextBrowser *browser = helpWindow())
        browser->close();
}
