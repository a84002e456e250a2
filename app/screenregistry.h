// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "observe/chartviewer.h"
#include "screenkit/navigation.h"

#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace app
{

// The program's screens, each at most once: showing one that is open brings
// it to the front; one that was closed (screens delete themselves on close)
// is made anew. While it lives, the registry is the screens' navigator.
class ScreenRegistry final : public screenkit::Navigator
{
public:
    using Factory = std::function<QWidget *()>;
    // Turns a screen that has subjects to one of them.
    using Turn = std::function<void(QWidget *, const QString &)>;

    // Registers every screen of the program, working in the given folder;
    // the observation screen stamps its fields from the clock.
    explicit ScreenRegistry(const appfiles::Folder &appFolder,
                            observe::modEntryscreen::Clock clock = observe::modEntryscreen::systemClock);
    ~ScreenRegistry() override;
    Q_DISABLE_COPY(ScreenRegistry)

    QWidget *show(screenkit::Screen screen) override;
    QWidget *show(screenkit::Screen screen, const QString &subject) override;
    QWidget *find(screenkit::Screen screen) const override;
    void help(screenkit::HelpCommand command, int data) override;

private:
    struct Entry
    {
        Factory factory;
        QString name;
        QPointer<QWidget> instance;
        Turn turn;
    };

    void addStartScreens();
    void addObservingScreens(const observe::modEntryscreen::Clock &clock);
    // The catalogue, the light curve and the import.
    void addRecordScreens();
    void add(screenkit::Screen screen, const QString &name, Factory factory, Turn turn = {});
    // The screen's one instance, made when it is not open; nullptr for none.
    QWidget *instance(screenkit::Screen screen);
    QWidget *present(QWidget *shown);

    appfiles::Folder m_appFolder;
    QHash<screenkit::Screen, Entry> m_entries;
    // A screen that must stay before the one being shown.
    std::optional<screenkit::Screen> m_inFront;
};

} // namespace app
