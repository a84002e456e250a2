// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The database file as another program sees it: statements run straight on
// it, past the store, on a handle of their own that waits for others as the
// program's handles do. For what no operation of the store does: setting up
// a file as an earlier version left it, holding it, looking at it from outside.
class SqlFile final
{
public:
    // The database of the application folder; never made when missing.
    explicit SqlFile(const QString &appFolder);
    ~SqlFile();
    SqlFile(const SqlFile &) = delete;
    SqlFile &operator=(const SqlFile &) = delete;

    // False, with a warning that names the engine's error, when it fails.
    bool exec(const QString &sql, const QVariantList &values = {});
    // The statement once for each row of values, in one transaction; false,
    // and nothing kept, when one fails.
    bool execEach(const QString &sql, const QList<QVariantList> &rows);
    // Each row its columns' values; empty when the query fails.
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {});
    // The first column of the first row; invalid when there is none.
    QVariant value(const QString &sql, const QVariantList &values = {});
    // The rows of a table; -1 when it cannot be counted.
    qint64 count(const QString &table);

private:
    QString m_connection;
};

// Runs the statements on the database file (made when missing), as an
// earlier version of the program or another program would have.
bool runSql(const QString &databasePath, const QStringList &statements);
