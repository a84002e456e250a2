// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/statement.h"

#include "store/database.h"
#include "store/heldtransaction.h"
#include "store/schema.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

struct store::Statement::Engine
{
    explicit Engine(const QSqlDatabase &db)
        : query(db)
    {
    }

    QSqlQuery query;
};

store::Statement::Statement(std::unique_ptr<Engine> engine)
    : m_engine(std::move(engine))
{
}

store::Statement::Statement(Statement &&) noexcept = default;
store::Statement &store::Statement::operator=(Statement &&) noexcept = default;
store::Statement::~Statement() = default;

outcome::Result<store::Statement> store::Statement::run(Database &db, const QString &sql, const QVariantList &values)
{
    if (outcome::Done opened = db.open(); !opened)
        return opened.problem();
    auto engine = std::make_unique<Engine>(QSqlDatabase::database(db.m_connection, false));
    QSqlQuery &query = engine->query;
    query.setForwardOnly(true);
    if (query.prepare(sql)) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (query.exec())
            return Statement(std::move(engine));
    }
    const QSqlError error = query.lastError();
    return db.engineProblem(error.nativeErrorCode().toInt(), error.text());
}

outcome::Done store::Statement::write(Database &db, const QString &sql, const QVariantList &values)
{
    if (outcome::Done opened = db.open(); !opened)
        return opened;
    endHeldTransactions();
    if (auto written = run(db, sql, values); !written)
        return written.problem();
    return {};
}

outcome::Result<sqlite3 *> store::Statement::engineConnection(Database &db)
{
    if (outcome::Done opened = db.open(); !opened)
        return opened.problem();
    const QSqlDatabase connection = QSqlDatabase::database(db.m_connection, false);
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return outcome::failed(QStringLiteral("The database is not open."));
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool store::Statement::next()
{
    return m_engine->query.next();
}

QVariant store::Statement::value(int column) const
{
    return m_engine->query.value(column);
}

QString store::Statement::text(int column) const
{
    return m_engine->query.value(column).toString();
}

QString store::placeholders(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(QStringLiteral(", "));
}

QString store::columnList(const Table &table)
{
    return table.columnNames().join(QStringLiteral(", "));
}

outcome::Done store::eachRow(Database &db, const QString &sql, const QVariantList &values, const TakeRow &take)
{
    auto rows = Statement::run(db, sql, values);
    if (!rows)
        return rows.problem();
    while (rows->next())
        take(*rows);
    return {};
}

outcome::Done store::eachRowIn(Database &db, const QString &sql, const QStringList &list, const TakeRow &take,
                               const QVariantList &after)
{
    for (qsizetype i = 0; i < list.size(); i += valuesPerStatement) {
        const QStringList some = list.mid(i, valuesPerStatement);
        if (outcome::Done done =
                eachRow(db, sql.arg(placeholders(some.size())), QVariantList(some.cbegin(), some.cend()) + after, take);
            !done)
            return done;
    }
    return {};
}

outcome::Result<QStringList> store::textsOf(Database &db, const QString &sql, const QVariantList &values)
{
    return rowsOf(db, sql, values, [](const Statement &row) { return row.text(0); });
}

outcome::Result<qint64> store::countOf(Database &db, const QString &sql, const QVariantList &values)
{
    auto rows = Statement::run(db, sql, values);
    if (!rows)
        return rows.problem();
    return rows->next() ? rows->value(0).toLongLong() : 0;
}
