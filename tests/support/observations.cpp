// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/observations.h"

#include "store/database.h"

#include <QSqlQuery>

bool insertObservations(const QString &appFolder, const QList<QStringList> &rows)
{
    store::Database db(appFolder);
    if (!db.open())
        return false;
    QSqlDatabase handle = db.handle();
    handle.transaction();
    QSqlQuery insert(handle);
    insert.prepare(QStringLiteral("INSERT INTO cumobs VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (const QStringList &row : rows) {
        for (const QString &value : row)
            insert.addBindValue(value);
        if (!insert.exec()) {
            handle.rollback();
            return false;
        }
    }
    return handle.commit();
}
