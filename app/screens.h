#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Every screen exists at most once. Showing one that is open brings it to the
// front; one that was closed (screens delete themselves on close) is made anew.
namespace screens
{
using Factory = std::function<QWidget *()>;

void registerFactory(const QString &name, Factory factory);
bool isRegistered(const QString &name);
// nullptr when no screen of that name is known.
QWidget *show(const QString &name);
QWidget *find(const QString &name);
void unregisterAll();
}
