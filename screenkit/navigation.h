// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

class QWidget;

// How a screen opens another screen or the help, without knowing the program
// that holds them: the program's top installs a Navigator, screens call the
// free functions.
namespace screenkit
{
// The program's screens; each exists at most once.
enum class Screen {
    Startup,
    HeaderEditor,
    Observation,
    Catalogue,
    Import,
    ReportCheck,
    // The light curve of one star; shown with the star as its subject.
    LightCurve,
    // Which stars to observe tonight.
    Tonight,
};

// Command codes of the help call: the contents, or the topic of a context number.
enum class HelpCommand : int {
    DisplayContents = 1,
    HelpContext = 15,
};

class Navigator
{
public:
    virtual ~Navigator() = default;
    // Shows the screen (made anew when it is not open) and brings it to the
    // front; nullptr when the program has no such screen.
    virtual QWidget *show(Screen screen) = 0;
    // As show(), the screen turned to a subject first: the light curve to
    // the star named, the observation screen to
    // the star and its chart. A screen without subjects is shown as it is.
    virtual QWidget *show(Screen screen, const QString &subject) = 0;
    // The open screen, or nullptr.
    virtual QWidget *find(Screen screen) const = 0;
    virtual void help(HelpCommand command, int data) = 0;
};

// The navigator screens use from now on; nullptr for none.
void setNavigator(Navigator *navigator);

QWidget *show(Screen screen);
QWidget *show(Screen screen, const QString &subject);
QWidget *find(Screen screen);
void help(HelpCommand command, int data);
}
