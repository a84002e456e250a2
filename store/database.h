// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

#include <QString>

#include <chrono>

namespace store
{
// One handle on "starcharts.mdb", opened afresh for one operation and closed
// when it goes out of scope; several may be open on the file at once. What
// is asked of the file is named in the store's other headers (charts.h,
// observations.h, listpages.h, appender.h), each operation opening the handle
// when it is not open yet; every value is bound as a parameter, so no value
// ever becomes part of the SQL text. Each write first ends the transactions
// its thread holds open elsewhere (HeldTransaction), so that it never waits
// for its own thread.
class Database final
{
public:
    // How long an operation waits for another handle or program to let go of
    // the file before it tells the user: long enough for another window's
    // recording, short enough that the window never seems frozen.
    static constexpr int busyTimeoutMs = 1000;

    // A handle that only reads is refused every write by the engine itself:
    // for a command that must leave the program's folder as it is.
    enum class Access { ReadWrite, ReadOnly };

    explicit Database(const appfiles::Folder &appFolder, Access access = Access::ReadWrite);
    ~Database();
    Q_DISABLE_COPY(Database)

    // Fails when the file is missing, is not a database or lacks the tables
    // and columns this program needs. Never creates or changes the file.
    outcome::Done open();
    QString path() const;

    // A transaction that holds the right to write from its start, waiting at
    // most wait for another handle or program to let go; commit() waits as
    // long again for readers to finish. A failed commit leaves the
    // transaction open for rollback().
    outcome::Done begin(std::chrono::milliseconds wait);
    // A transaction of a writer that keeps it open between pieces of its work
    // (HeldTransaction): it takes the right to write with its first row and
    // leaves the other held transactions of the thread alone.
    outcome::Done beginHeld();
    outcome::Done commit();
    // A failure is logged as well: closing the handle takes the changes back too.
    outcome::Done rollback();
    // Keeps the changes of every transaction of this handle in memory until
    // it commits, however many, so that they keep readers out only while it
    // commits; else the engine writes them to the file once they outgrow its
    // cache, and readers wait from then on.
    outcome::Done keepChangesUntilCommit();

private:
    friend class Statement;

    outcome::Done checkStructure();
    outcome::Done execute(const QString &statement);
    // The engine's error worded for the observer, by the engine's result code.
    outcome::Problem engineProblem(int code, const QString &engineText) const;

    QString m_path;
    QString m_connection;
    Access m_access = Access::ReadWrite;
    bool m_open = false;
};
}
