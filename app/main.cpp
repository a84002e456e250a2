// SPDX-License-Identifier: GPL-2.0-or-later
#include "navigation.h"
#include "screenregistry.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varlume"));
    const ScreenRegistry screens(QCoreApplication::applicationDirPath());
    screenkit::show(screenkit::Screen::Startup);
    return QApplication::exec();
}
