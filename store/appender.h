// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/schema.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>
#include <memory>

namespace store
{
class Database;

// Adds many rows to one table through one prepared statement, each value
// bound, straight on the engine: a general query's per-row bookkeeping would
// cost more than the row itself. The caller wraps the rows in transactions
// of the same handle (Database::beginHeld() and commit()).
class Appender final
{
public:
    // The values of each row come in the order of the columns given (the
    // constants of store::column). Fails, worded for the user, when a column
    // is not the table's or the handle cannot be opened.
    static outcome::Result<std::unique_ptr<Appender>> prepare(Database &db, const Table &table,
                                                              const QStringList &columns);
    ~Appender();
    Q_DISABLE_COPY(Appender)

    // The row is added whole or not at all; refused, worded as
    // engineRefusal() words it, when the engine refuses it.
    outcome::Done append(std::initializer_list<QStringView> values);
    // The engine's number of the row added last on the handle.
    qint64 lastRow() const;

private:
    explicit Appender(int columns);
    outcome::Problem engineProblem() const;

    // The engine's own handles, kept out of the header.
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    int m_columns = 0;
};
}
