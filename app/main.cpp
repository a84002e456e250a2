// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/screenregistry.h"
#include "observe/reportcheck.h"
#include "screenkit/navigation.h"

#include <QApplication>
#include <QDateTime>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace
{
// "varlume --check FILE...": the findings of each report on the standard
// output, for scripts that prepare an upload. Opens no window, touches no
// data: the program's folder is not even looked at.
int checkCommand(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The names as the system gives them: a name not valid in its encoding
    // would not survive the way into text and back.
    QList<QByteArray> files;
    for (int i = 2; i < argc; ++i)
        files.append(QByteArray(argv[i]));
    if (files.isEmpty()) {
        QTextStream(stderr) << "usage: varlume --check FILE...\n";
        return 2;
    }
    QTextStream out(stdout);
    return observe::modReportcheck::checkFiles(files, QDateTime::currentDateTimeUtc(), out);
}
}

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--check") == 0)
        return checkCommand(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varlume"));
    const app::ScreenRegistry screens(QCoreApplication::applicationDirPath());
    screenkit::show(screenkit::Screen::Startup);
    return QApplication::exec();
}
