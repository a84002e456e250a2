// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/screenregistry.h"
#include "observe/chartviewer.h"
#include "tests/support/appfolder.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testkit.h"

#include <QLineEdit>
#include <QString>

#include <memory>

namespace observe
{
class frmEntryscreen;
}
class QPushButton;

// An application folder as a first start leaves it (database, header, the
// control library) and the observation screen opened from the start screen.
class EntryScreenFixture final
{
public:
    explicit EntryScreenFixture(bool withLibrary = true);
    ~EntryScreenFixture();

    AppFolder &folder();
    MessageRecorder &messages();
    // The clock the observation screen opened next stamps its fields from.
    void setClock(observe::modEntryscreen::Clock clock);
    // Opens the observation screen from the start screen; nullptr unless it is the active window.
    observe::frmEntryscreen *open();
    // As open(), when another window may come before it.
    observe::frmEntryscreen *launch();
    observe::frmEntryscreen *screen() const;
    void close();

    QLineEdit *edit(const char *name) const;
    QWidget *widget(const char *name) const;
    // The text field inside a date or time field.
    QLineEdit *inner(const char *name) const;
    QPushButton *button(const char *name) const;

    // Clicks a constellation of the grid and picks a star from the list.
    void chooseStar(const QString &constellation, const QString &star);
    // Types into a field after giving it the focus, as the observer would.
    void type(QWidget *field, const QString &text);
    void setDate(int year, int month, int day, int hour, int minute);
    // The example observation: ss cyg, 5 January 2018 21:30, 11.2, 110/115, chart 1896.
    void fillExample();
    void enter();

    QByteArray report() const;
    QString reportPath() const;
    // Rows of cumobs, columns joined by "|", in insertion order.
    QStringList cumobsRows() const;
    void setNightly(const QString &star, const QString &flag);

private:
    std::unique_ptr<AppFolder> m_folder;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<app::ScreenRegistry> m_screens;
};
