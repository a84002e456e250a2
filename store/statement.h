// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <type_traits>

struct sqlite3;

namespace store
{
class Database;
struct Table;

// A statement of the store's own operations: prepared on a handle, its values
// bound, run, and its rows read forward. Only the store's sources use it;
// the rest of the program asks for what it needs by name (charts.h,
// observations.h, listpages.h), and no type of the engine's shows.
class Statement final
{
public:
    // Opens the handle when it is not open yet. The problem words the
    // engine's error for the observer, as engineProblem does.
    static outcome::Result<Statement> run(Database &db, const QString &sql, const QVariantList &values = {});
    // Runs a statement that writes, once the transactions the thread holds
    // open elsewhere have ended (HeldTransaction).
    static outcome::Done write(Database &db, const QString &sql, const QVariantList &values);
    // The engine's own connection under the handle, opened, for the writers
    // that step their statements themselves (Appender, LedgerRecorder).
    static outcome::Result<sqlite3 *> engineConnection(Database &db);

    Statement(Statement &&) noexcept;
    Statement &operator=(Statement &&) noexcept;
    ~Statement();

    // Moves to the next row; false after the last.
    bool next();
    QVariant value(int column) const;
    QString text(int column) const;

private:
    struct Engine;
    explicit Statement(std::unique_ptr<Engine> engine);

    std::unique_ptr<Engine> m_engine;
};

// An engine's refusal of a value (empty, too long, a duplicate) worded for the
// observer, naming the column; any other error as the engine tells it.
outcome::Problem engineRefusal(const QString &engineText);

// "?, ?, ?": the places of count bound values.
QString placeholders(qsizetype count);
// Bound values of a list per statement, well below the engine's limit.
inline constexpr qsizetype valuesPerStatement = 500;
// Every column of the table in table order, as its rows are read and written.
QString columnList(const Table &table);
// Hands every row of the statement to take, in the engine's order.
using TakeRow = std::function<void(const Statement &row)>;
outcome::Done eachRow(Database &db, const QString &sql, const QVariantList &values, const TakeRow &take);
// The same for a list too long for one statement: run for valuesPerStatement
// of its values at a time, their placeholders put for the place marker sql
// has left ("%4" of "... IN (%4)" once %1 to %3 are filled), the values after
// bound behind them.
outcome::Done eachRowIn(Database &db, const QString &sql, const QStringList &list, const TakeRow &take,
                        const QVariantList &after = {});

// Every row of the statement as read makes it, or of the statement for each
// part of the list (see eachRowIn).
template<typename Read, typename Row = std::invoke_result_t<Read, const Statement &>>
outcome::Result<QList<Row>> rowsOf(Database &db, const QString &sql, const QVariantList &values, Read read)
{
    QList<Row> rows;
    if (outcome::Done done = eachRow(db, sql, values, [&](const Statement &row) { rows.append(read(row)); }); !done)
        return done.problem();
    return rows;
}
template<typename Read, typename Row = std::invoke_result_t<Read, const Statement &>>
outcome::Result<QList<Row>> rowsIn(Database &db, const QString &sql, const QStringList &list, Read read,
                                   const QVariantList &after = {})
{
    QList<Row> rows;
    const TakeRow take = [&](const Statement &row) { rows.append(read(row)); };
    if (outcome::Done done = eachRowIn(db, sql, list, take, after); !done)
        return done.problem();
    return rows;
}
// The first column of every row, as text.
outcome::Result<QStringList> textsOf(Database &db, const QString &sql, const QVariantList &values = {});
// The number a statement such as "SELECT COUNT(*) ..." gives.
outcome::Result<qint64> countOf(Database &db, const QString &sql, const QVariantList &values = {});
}
