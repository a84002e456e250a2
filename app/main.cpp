// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/commandline.h"
#include "app/logging.h"
#include "app/screenregistry.h"
#include "appfiles/folder.h"
#include "appfiles/folderlock.h"
#include "backup/backups.h"
#include "screenkit/navigation.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("varlume"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARLUME_VERSION));
    const app::CommandLine commandLine(argc, argv);
    // A command runs without a display.
    const bool windows = commandLine.asksForWindows();
    const std::unique_ptr<QCoreApplication> application =
        windows ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const appfiles::Folder folder(QCoreApplication::applicationDirPath());
    if (!windows)
        return commandLine.run(folder);
    // Shared by every running varlume, so that no restore replaces the database under this one.
    const auto running = appfiles::FolderLock::shared(folder);
    if (!running)
        qCWarning(app::lc).noquote() << running.problem().message;
    const app::ScreenRegistry screens(folder);
    screenkit::show(screenkit::Screen::Startup);
    const int status = QApplication::exec();
    // The day's copy, taken before the first recording, counts once checked.
    backup::waitForChecks();
    return status;
}
