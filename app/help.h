#pragma once

#include <QString>

class QWidget;

// The help call every screen's Help button makes: a command code and a data
// value, as the help file's context numbers are asked for. The help file
// "quillon.html" lies in the application folder; without it nothing happens.
namespace help
{
enum Command : int {
    DisplayContents = 1,
    HelpContext = 15,
};

void call(const QString &appFolder, int command, int data);
// The help window, when one is open.
QWidget *window();
}
