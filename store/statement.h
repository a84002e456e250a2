// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

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
// The first column of every row, as text.
outcome::Result<QStringList> textsOf(Database &db, const QString &sql, const QVariantList &values = {});
// The number a statement such as "SELECT COUNT(*) ..." gives.
outcome::Result<qint64> countOf(Database &db, const QString &sql, const QVariantList &values = {});
}
