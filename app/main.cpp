#include "registerscreens.h"
#include "screens.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varlume"));
    registerScreens(QCoreApplication::applicationDirPath());
    screens::show(QStringLiteral("frmStartup"));
    return QApplication::exec();
}
