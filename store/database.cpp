// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/database.h"

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "store/heldtransaction.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

namespace
{
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("varlume-db-%1").arg(counter.fetchAndAddRelaxed(1));
}

// How long an operation waits for another handle or program to let go of the
// file before it tells the user: long enough for another window's recording,
// short enough that the window never seems frozen.
constexpr int busyTimeoutMs = 1000;

// The engine's primary result codes that have a cause worth telling.
enum EngineCode { Busy = 5, Locked = 6, ReadOnly = 8, Full = 13 };

int engineCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

QString orderClause(const QList<store::Order> &order)
{
    QStringList parts;
    for (const auto &o : order)
        parts.append(o.column + (o.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
    return parts.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}
}

store::Database::Database(const QString &appFolder)
    : m_path(appfiles::Folder(appFolder).database())
    , m_connection(nextConnectionName())
{
}

store::Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

bool store::Database::open()
{
    if (m_open)
        return true;
    const QFileInfo file(m_path);
    if (file.isDir())
        return fail(QStringLiteral("The database file \"%1\" is a folder, not a file.").arg(m_path));
    if (const auto link = appfiles::danglingLink(m_path))
        return fail(QStringLiteral("The database file \"%1\" cannot be opened: %2.").arg(m_path, *link));
    if (!file.isFile())
        return fail(QStringLiteral("The database file \"%1\" is missing.").arg(m_path));
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    // Several handles on the one file wait for each other instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open())
        return fail(QStringLiteral("The database file \"%1\" cannot be opened: %2").arg(m_path, db.lastError().text()));
    m_open = true;
    if (!checkStructure()) {
        db.close();
        m_open = false;
        return false;
    }
    return true;
}

bool store::Database::checkStructure()
{
    const QString unusable = QStringLiteral("The file \"%1\" is not a database this program can use (%2). "
                                            "It has been left unchanged; move it aside and start the program "
                                            "again to have a new, empty catalogue created.");
    QSqlDatabase db = handle();
    for (const Table *table : {&charts(), &cumobs()}) {
        // Identifiers here come from the schema, never from the user.
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table->name))) {
            // Held by another program is no sign of a foreign file.
            const int code = engineCode(query.lastError());
            if (code == Busy || code == Locked)
                return failEngine(query.lastError());
            return fail(unusable.arg(m_path, query.lastError().text()));
        }
        QStringList found;
        while (query.next())
            found.append(query.value(1).toString());
        QStringList wanted;
        for (const auto &column : table->columns)
            wanted.append(column.name);
        if (found.join(QLatin1Char(',')).compare(wanted.join(QLatin1Char(',')), Qt::CaseInsensitive) != 0) {
            return fail(unusable.arg(m_path,
                                     found.isEmpty()
                                         ? QStringLiteral("it has no table \"%1\"").arg(table->name)
                                         : QStringLiteral("its table \"%1\" has other columns").arg(table->name)));
        }
    }
    return true;
}

QString store::Database::error() const
{
    return m_error;
}

QString store::Database::path() const
{
    return m_path;
}

QSqlDatabase store::Database::handle() const
{
    return QSqlDatabase::database(m_connection, false);
}

bool store::Database::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool store::Database::failQuery(const QSqlQuery &query)
{
    return failEngine(query.lastError());
}

bool store::Database::failEngine(const QSqlError &error)
{
    switch (engineCode(error)) {
    case Busy:
    case Locked:
        return fail(
            QStringLiteral("The database \"%1\" is in use by another program. Try again in a moment.").arg(m_path));
    case ReadOnly: return fail(QStringLiteral("The database \"%1\" cannot be written: permission denied.").arg(m_path));
    case Full: return fail(QStringLiteral("The database \"%1\" cannot be written: the disk is full.").arg(m_path));
    default: return fail(describeEngineError(error.text()));
    }
}

bool store::Database::execute(const QString &statement)
{
    QSqlQuery query(handle());
    return query.exec(statement) || failQuery(query);
}

const store::Table *store::Database::knownTable(const QString &table)
{
    const Table *t = store::table(table);
    if (!t)
        fail(QStringLiteral("Unknown table \"%1\".").arg(table));
    return t;
}

bool store::Database::knownColumns(const Table &table, const QStringList &columns)
{
    for (const auto &column : columns) {
        if (!table.column(column))
            return fail(QStringLiteral("Unknown column \"%1\" in table \"%2\".").arg(column, table.name));
    }
    return true;
}

QSqlQuery store::Database::prepare(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return query;
    for (const auto &value : values)
        query.addBindValue(value);
    return query;
}

bool store::Database::insert(const QString &table, const QVariantMap &row)
{
    const Table *t = knownTable(table);
    if (!t || !knownColumns(*t, row.keys()) || !open())
        return false;
    const QStringList columns = row.keys();
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    QSqlQuery query = prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(t->name, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                              row.values());
    endHeldTransactions();
    return query.exec() || failQuery(query);
}

bool store::Database::update(const QString &table, const Where &key, const QVariantMap &row)
{
    const Table *t = knownTable(table);
    if (!t || !knownColumns(*t, row.keys() << key.column) || !open())
        return false;
    QStringList assignments;
    for (const auto &column : row.keys())
        assignments.append(column + QStringLiteral(" = ?"));
    QVariantList values = row.values();
    values.append(key.value);
    QSqlQuery query = prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                  .arg(t->name, assignments.join(QStringLiteral(", ")), key.column),
                              values);
    endHeldTransactions();
    return query.exec() || failQuery(query);
}

bool store::Database::remove(const QString &table, const Where &key)
{
    const Table *t = knownTable(table);
    if (!t || !knownColumns(*t, {key.column}) || !open())
        return false;
    QSqlQuery query = prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(t->name, key.column), {key.value});
    endHeldTransactions();
    return query.exec() || failQuery(query);
}

qint64 store::Database::count(const QString &table, const std::optional<Where> &where)
{
    const Table *t = knownTable(table);
    if (!t || (where && !knownColumns(*t, {where->column})) || !open())
        return -1;
    QString sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(t->name);
    QVariantList values;
    if (where) {
        sql += QStringLiteral(" WHERE %1 = ?").arg(where->column);
        values.append(where->value);
    }
    QSqlQuery query = prepare(sql, values);
    if (!query.exec() || !query.next()) {
        failQuery(query);
        return -1;
    }
    return query.value(0).toLongLong();
}

QSqlQuery store::Database::select(const QString &table, const std::optional<Where> &where, const QList<Order> &order)
{
    const Table *t = knownTable(table);
    QStringList columns;
    for (const auto &o : order)
        columns.append(o.column);
    if (where)
        columns.append(where->column);
    if (!t || !knownColumns(*t, columns) || !open())
        return QSqlQuery();
    QStringList names;
    for (const auto &column : t->columns)
        names.append(column.name);
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(names.join(QStringLiteral(", ")), t->name);
    QVariantList values;
    if (where) {
        sql += QStringLiteral(" WHERE %1 = ?").arg(where->column);
        values.append(where->value);
    }
    sql += orderClause(order);
    QSqlQuery query = prepare(sql, values);
    if (!query.exec())
        failQuery(query);
    return query;
}

std::optional<QVariantMap> store::Database::first(const QString &table, const std::optional<Where> &where,
                                                  const QList<Order> &order)
{
    QSqlQuery query = select(table, where, order);
    if (!query.isActive() || !query.next())
        return std::nullopt;
    QVariantMap row;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        row.insert(record.fieldName(i), query.value(i));
    return row;
}

bool store::Database::begin(std::chrono::milliseconds wait)
{
    if (!open())
        return false;
    endHeldTransactions();
    // A number of ours, not a value: pragmas take no bound parameters.
    return execute(QStringLiteral("PRAGMA busy_timeout = %1").arg(qMax<qint64>(1, wait.count())))
        && execute(QStringLiteral("BEGIN IMMEDIATE"));
}

bool store::Database::commit()
{
    return execute(QStringLiteral("COMMIT"));
}

void store::Database::rollback()
{
    QSqlQuery query(handle());
    query.exec(QStringLiteral("ROLLBACK"));
}

bool store::Database::keepChangesUntilCommit()
{
    return open() && execute(QStringLiteral("PRAGMA cache_spill = OFF"));
}

QString store::describeEngineError(const QString &engineText)
{
    static const QRegularExpression check(QStringLiteral("CHECK constraint failed: ([A-Za-z]+)_(\\w+)_text"));
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: \\w+\\.(\\w+)"));
    if (const auto m = check.match(engineText); m.hasMatch()) {
        const QString column = m.captured(2);
        const Table *t = table(m.captured(1));
        const Column *c = t ? t->column(column) : nullptr;
        const int length = c ? c->length : 0;
        return QStringLiteral("The value for \"%1\" must not be empty and may hold at most %2 characters.")
            .arg(column)
            .arg(length);
    }
    if (const auto m = unique.match(engineText); m.hasMatch())
        return QStringLiteral("There is already an entry with this %1 (letter case does not count).")
            .arg(m.captured(1));
    return QStringLiteral("The database refused the operation: %1").arg(engineText);
}
