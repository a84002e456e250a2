// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "store/schema.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>
#include <memory>

namespace store
{
// Adds many rows to one table through one prepared statement, each value
// bound, straight on the engine: a general query's per-row bookkeeping would
// cost more than the row itself. The caller wraps the rows in transactions
// of the same handle.
class Appender final
{
public:
    // The values of each row come in the order of the columns given.
    Appender(const QSqlDatabase &db, const Table &table, const QStringList &columns);
    ~Appender();
    Appender(const Appender &) = delete;
    Appender &operator=(const Appender &) = delete;

    // False, with error(), when the statement could not be prepared.
    bool isValid() const;
    // Worded for the user, as describeEngineError() words it.
    QString error() const;

    // The row is added whole or not at all; false, with error(), when the
    // engine refuses it.
    bool append(std::initializer_list<QStringView> values);

private:
    bool fail();

    // The engine's own handles, kept out of the header.
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    int m_columns = 0;
    QString m_error;
};
}
