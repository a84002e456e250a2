// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/creation.h"

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "store/schema.h"
#include "store/statement.h"

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
    const store::Table &charts = store::charts();
    // Bound like every other value, though they are ours.
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(charts.name, charts.columnNames().join(QStringLiteral(", ")),
                                store::placeholders(charts.columns.size()))))
        return false;
    for (const char *value : {"ss cyg", "1896", "yes", "ss cyg.gif", "ss cyg-finder.gif", "cyg"})
        query.addBindValue(QString::fromLatin1(value));
    return query.exec();
}

// The tables, the index and the seed row in one transaction; the engine's
// reason when it fails.
outcome::Done createSchema(const QString &path)
{
    const QString connection = QStringLiteral("varlume-create-%1").arg(path);
    std::optional<QString> reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            reason = db.lastError().text();
        } else {
            QSqlQuery query(db);
            bool ok = db.transaction();
            for (const QString &sql : store::creationStatements()) {
                if (!ok)
                    break;
                ok = query.exec(sql);
            }
            ok = ok && insertSeedRow(query) && db.commit();
            if (!ok) {
                reason = query.lastError().isValid() ? query.lastError().text() : db.lastError().text();
                db.rollback();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (reason)
        return outcome::failed(*reason);
    return {};
}
}

outcome::Done store::createDefault(const appfiles::Folder &appFolder)
{
    const QString path = appFolder.database();
    const outcome::Problem exists = outcome::duplicate(QStringLiteral("The file \"%1\" exists already.").arg(path));
    if (QFileInfo::exists(path))
        return exists;
    const auto failed = [&](const QString &reason) {
        return outcome::failed(QStringLiteral("The database \"%1\" could not be created: %2.").arg(path, reason));
    };

    // Built under a name of its own, so that no other program ever sees it half made.
    const appfiles::NewFile temporary = appfiles::createBeside(path);
    if (temporary.path.isEmpty())
        return failed(appfiles::describeError(temporary.error));
    ::close(temporary.descriptor);

    const outcome::Done schema = createSchema(temporary.path);
    int errnum = 0;
    const appfiles::Placed placed =
        schema ? appfiles::placeNew(temporary.path, path, &errnum) : appfiles::Placed::Failed;
    // Only the file this call made is removed; the one in place is never touched.
    if (placed != appfiles::Placed::Moved) {
        QFile::remove(temporary.path);
        QFile::remove(temporary.path + QStringLiteral("-journal"));
    }
    switch (placed) {
    case appfiles::Placed::Moved: return {};
    case appfiles::Placed::Taken: return exists;
    case appfiles::Placed::Failed: break;
    }
    return failed(schema ? appfiles::describeError(errnum) : schema.problem().message);
}
