// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/sqlfile.h"

#include <QAtomicInt>
#include <QDebug>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{
QString open(const QString &databasePath, bool create)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("sqlfile-%1").arg(counter.fetchAndAddRelaxed(1));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(databasePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000"));
    // The engine would make a missing file.
    if (!create && !QFileInfo::exists(databasePath))
        qWarning() << databasePath << "is missing";
    else if (!db.open())
        qWarning() << databasePath << db.lastError().text();
    return name;
}

void close(const QString &connection)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

bool run(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    query.setForwardOnly(true);
    if (query.prepare(sql)) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (query.exec())
            return true;
    }
    qWarning() << sql << query.lastError().text();
    return false;
}
}

SqlFile::SqlFile(const QString &appFolder)
    : m_connection(open(appFolder + QStringLiteral("/starcharts.mdb"), false))
{
}

SqlFile::~SqlFile()
{
    close(m_connection);
}

bool SqlFile::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    return run(query, sql, values);
}

bool SqlFile::execEach(const QString &sql, const QList<QVariantList> &rows)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!db.transaction() || !query.prepare(sql))
        return false;
    for (const QVariantList &row : rows) {
        for (const QVariant &value : row)
            query.addBindValue(value);
        if (!query.exec()) {
            qWarning() << sql << query.lastError().text();
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

QList<QVariantList> SqlFile::rows(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    QList<QVariantList> rows;
    if (!run(query, sql, values))
        return rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row.append(query.value(i));
        rows.append(row);
    }
    return rows;
}

QVariant SqlFile::value(const QString &sql, const QVariantList &values)
{
    return rows(sql, values).value(0).value(0);
}

qint64 SqlFile::count(const QString &table)
{
    const QVariant count = value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    return count.isValid() ? count.toLongLong() : -1;
}

bool runSql(const QString &databasePath, const QStringList &statements)
{
    const QString connection = open(databasePath, true);
    bool ok = true;
    {
        QSqlQuery query(QSqlDatabase::database(connection, false));
        for (const QString &sql : statements) {
            if (ok && !query.exec(sql)) {
                qWarning() << sql << query.lastError().text();
                ok = false;
            }
        }
    }
    close(connection);
    return ok;
}
