// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/commandline.h"
#include "app/screenregistry.h"
#include "screenkit/navigation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("varlume"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARLUME_VERSION));
    if (const std::optional<int> status = app::runCommand(argc, argv))
        return *status;

    QApplication app(argc, argv);
    const app::ScreenRegistry screens(QCoreApplication::applicationDirPath());
    screenkit::show(screenkit::Screen::Startup);
    return QApplication::exec();
}
