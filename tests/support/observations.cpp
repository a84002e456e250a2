// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/observations.h"

#include "tests/support/sqlfile.h"

bool insertObservations(const QString &appFolder, const QList<QStringList> &rows)
{
    QList<QVariantList> values;
    for (const QStringList &row : rows)
        values.append(QVariantList(row.cbegin(), row.cend()));
    return SqlFile(appFolder).execEach(QStringLiteral("INSERT INTO cumobs VALUES (?, ?, ?, ?, ?, ?, ?)"), values);
}

QStringList cumobsRows(const QString &appFolder)
{
    QStringList rows;
    for (const QVariantList &row : SqlFile(appFolder).rows(QStringLiteral("SELECT * FROM cumobs ORDER BY rowid"))) {
        QStringList columns;
        for (const QVariant &value : row)
            columns.append(value.toString());
        rows.append(columns.join(u'|'));
    }
    return rows;
}

bool fillObservations(const QString &appFolder, int count, const QString &notes)
{
    return SqlFile(appFolder).exec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                       "INSERT INTO cumobs SELECT 'ss cyg', '11.2', '110(1)115', printf('2458124.%04d', i), 'na', "
                       "?, '1896' FROM n"),
        {count, notes});
}
