// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/lookupindexes.h"

#include "appfiles/folder.h"
#include "store/schema.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace
{
struct Survey
{
    store::Lookups state = store::Lookups::Foreign;
    // The additions the file lacks.
    QStringList missing;
};

// Every object of the file, by its statement. The engine keeps each
// statement as it was given, so our own objects compare equal to ours.
Survey survey(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")))
        return {};
    QSet<QString> present;
    while (query.next())
        present.insert(query.value(0).toString());
    if (query.lastError().isValid())
        return {};

    const QStringList ours = store::creationStatements();
    const QStringList additions = store::additionStatements();
    for (const QString &sql : present) {
        if (!ours.contains(sql))
            return {};
    }
    Survey result;
    for (const QString &sql : ours) {
        if (present.contains(sql))
            continue;
        if (!additions.contains(sql))
            return {};
        result.missing.append(sql);
    }
    result.state = result.missing.isEmpty() ? store::Lookups::Present : store::Lookups::Missing;
    return result;
}

qint64 schemaVersionOf(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA schema_version")) && query.next() ? query.value(0).toLongLong() : -1;
}

// The additions change the count of changes to the structure that each
// import remembered holds to tell a VACUUM since; they are the program's
// own, so the imports that held the count before hold it after.
std::optional<outcome::Problem> carrySchemaVersion(const QSqlDatabase &db, qint64 before)
{
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(store::importsTable, store::column::schemaVersion));
    query.addBindValue(schemaVersionOf(db));
    query.addBindValue(before);
    if (query.exec())
        return std::nullopt;
    return outcome::failed(query.lastError().text());
}

// A connection of its own, closed and removed when it goes.
class Connection final
{
public:
    Connection(const QString &path, bool readOnly)
        : m_name(QStringLiteral("varlume-lookups-%1").arg(counter().fetchAndAddRelaxed(1)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        db.open();
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    static QAtomicInt &counter()
    {
        static QAtomicInt c;
        return c;
    }
    QString m_name;
};
}

store::Lookups store::lookups(const appfiles::Folder &appFolder)
{
    return lookupsOfFile(appFolder.database());
}

store::Lookups store::lookupsOfFile(const QString &path)
{
    // The engine would make a missing file; there is nothing to look at.
    if (!QFileInfo(path).isFile())
        return Lookups::Foreign;
    const Connection connection(path, true);
    if (!connection.db().isOpen())
        return Lookups::Foreign;
    return survey(connection.db()).state;
}

QString store::foreignReason(const appfiles::Folder &appFolder)
{
    return QStringLiteral("\"%1\" holds more than this program made (a table, an index or a column of its own, or "
                          "another layout), so the program leaves its structure as it is")
        .arg(appFolder.database());
}

outcome::Done store::addLookups(const appfiles::Folder &appFolder)
{
    const QString path = appFolder.database();
    if (!QFileInfo(path).isFile())
        return outcome::notFound(QStringLiteral("The database file \"%1\" is missing.").arg(path));
    const Connection connection(path, false);
    QSqlDatabase db = connection.db();
    if (!db.isOpen())
        return outcome::failed(db.lastError().text());
    QSqlQuery query(db);
    // Looked at again under the write lock: nothing may change in between.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return outcome::failed(query.lastError().text());
    const Survey found = survey(db);
    std::optional<outcome::Problem> problem;
    if (found.state == Lookups::Foreign)
        problem = outcome::refused(QStringLiteral("The database %1.").arg(foreignReason(appFolder)));
    const qint64 before = schemaVersionOf(db);
    for (const QString &sql : found.missing) {
        if (problem)
            break;
        if (!query.exec(sql))
            problem = outcome::failed(query.lastError().text());
    }
    if (!problem && !found.missing.isEmpty() && !found.missing.contains(importStatements().constFirst()))
        problem = carrySchemaVersion(db, before);
    if (!problem && !query.exec(QStringLiteral("COMMIT")))
        problem = outcome::failed(query.lastError().text());
    if (!problem)
        return {};
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return *problem;
}
