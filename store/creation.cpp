// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/creation.h"

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "store/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

namespace
{
bool insertSeedRow(QSqlQuery &query)
{
    // Bound like every other value, though they are ours.
    if (!query.prepare(QStringLiteral("INSERT INTO Charts (starname, chart, nightly, picturefile, finderchart, "
                                      "constell) VALUES (?, ?, ?, ?, ?, ?)")))
        return false;
    for (const char *value : {"ss cyg", "1896", "yes", "ss cyg.gif", "ss cyg-finder.gif", "cyg"})
        query.addBindValue(QString::fromLatin1(value));
    return query.exec();
}

// The tables, the index and the seed row in one transaction.
bool createSchema(const QString &path, QString *error)
{
    const QString connection = QStringLiteral("varlume-create-%1").arg(path);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            ok = db.transaction();
            for (const QString &sql : store::creationStatements()) {
                if (!ok)
                    break;
                ok = query.exec(sql);
            }
            ok = ok && insertSeedRow(query) && db.commit();
            if (!ok) {
                *error = query.lastError().isValid() ? query.lastError().text() : db.lastError().text();
                db.rollback();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}
}

bool store::createDefault(const QString &appFolder, QString *error)
{
    const QString path = appfiles::Folder(appFolder).database();
    const QString exists = QStringLiteral("The file \"%1\" exists already.").arg(path);
    if (QFileInfo::exists(path)) {
        *error = exists;
        return false;
    }
    const auto failed = [&](const QString &reason) {
        *error = QStringLiteral("The database \"%1\" could not be created: %2.").arg(path, reason);
        return false;
    };

    // Built under a name of its own, so that no other program ever sees it half made.
    const appfiles::NewFile temporary = appfiles::createBeside(path);
    if (temporary.path.isEmpty())
        return failed(appfiles::describeError(temporary.error));
    ::close(temporary.descriptor);

    QString reason;
    int errnum = 0;
    const appfiles::Placed placed = createSchema(temporary.path, &reason)
        ? appfiles::placeNew(temporary.path, path, &errnum)
        : appfiles::Placed::Failed;
    // Only the file this call made is removed; the one in place is never touched.
    if (placed != appfiles::Placed::Moved) {
        QFile::remove(temporary.path);
        QFile::remove(temporary.path + QStringLiteral("-journal"));
    }
    switch (placed) {
    case appfiles::Placed::Moved: return true;
    case appfiles::Placed::Taken: *error = exists; return false;
    case appfiles::Placed::Failed: break;
    }
    return failed(reason.isEmpty() ? appfiles::describeError(errnum) : reason);
}
