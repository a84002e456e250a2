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
