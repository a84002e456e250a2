#pragma once

#include <QString>

// Makes every screen of the program known by name, each working in the given
// application folder.
void registerScreens(const QString &appFolder);
