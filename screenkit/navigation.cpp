// SPDX-License-Identifier: GPL-2.0-or-later
#include "screenkit/navigation.h"

namespace screenkit
{
namespace
{
Navigator *&current()
{
    static Navigator *navigator = nullptr;
    return navigator;
}
}

void setNavigator(Navigator *navigator)
{
    current() = navigator;
}

QWidget *show(Screen screen)
{
    return current() ? current()->show(screen) : nullptr;
}

QWidget *show(Screen screen, const QString &subject)
{
    return current() ? current()->show(screen, subject) : nullptr;
}

QWidget *find(Screen screen)
{
    return current() ? current()->find(screen) : nullptr;
}

void help(HelpCommand command, int data)
{
    if (current())
        current()->help(command, data);
}
}
