// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "store/schema.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

#include <chrono>
#include <optional>

class QSqlError;

namespace store
{
struct Where
{
    QString column;
    QVariant value;
};

struct Order
{
    QString column;
    bool descending = false;
};

// One handle on "starcharts.mdb", opened afresh for one operation and closed
// when it goes out of scope; several may be open on the file at once.
// Table and column names are checked against the schema and every value is
// bound as a parameter, so no value ever becomes part of the SQL text. Each
// write first ends the transactions its thread holds open elsewhere
// (HeldTransaction), so that it never waits for its own thread.
class Database final
{
public:
    explicit Database(const QString &appFolder);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Fails (with error()) when the file is missing, is not a database or
    // lacks the tables and columns this program needs. Never creates or
    // changes the file.
    bool open();
    QString error() const;
    QString path() const;
    QSqlDatabase handle() const;

    bool insert(const QString &table, const QVariantMap &row);
    bool update(const QString &table, const Where &key, const QVariantMap &row);
    bool remove(const QString &table, const Where &key);
    // -1 on failure.
    qint64 count(const QString &table, const std::optional<Where> &where = std::nullopt);
    // All columns, in table order; forward only. Must not outlive this handle.
    // An inactive query on failure.
    QSqlQuery select(const QString &table, const std::optional<Where> &where = std::nullopt,
                     const QList<Order> &order = {});
    std::optional<QVariantMap> first(const QString &table, const std::optional<Where> &where,
                                     const QList<Order> &order = {});

    // A transaction that holds the right to write from its start, waiting at
    // most wait for another handle or program to let go; commit() waits as
    // long again for readers to finish. A failed commit leaves the
    // transaction open for rollback().
    bool begin(std::chrono::milliseconds wait);
    bool commit();
    void rollback();
    // Keeps the changes of every transaction of this handle in memory until
    // it commits, however many, so that they keep readers out only while it
    // commits; else the engine writes them to the file once they outgrow its
    // cache, and readers wait from then on.
    bool keepChangesUntilCommit();

private:
    bool checkStructure();
    bool fail(const QString &message);
    bool failQuery(const QSqlQuery &query);
    bool failEngine(const QSqlError &error);
    bool execute(const QString &statement);
    // nullptr (with error()) for an unknown table or column.
    const Table *knownTable(const QString &table);
    bool knownColumns(const Table &table, const QStringList &columns);
    QSqlQuery prepare(const QString &sql, const QVariantList &values);

    QString m_path;
    QString m_connection;
    QString m_error;
    bool m_open = false;
};

// A message for the user from an engine error (empty, too long, duplicate).
QString describeEngineError(const QString &engineText);
}
