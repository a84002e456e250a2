// SPDX-License-Identifier: GPL-2.0-or-later
#include "creation.h"

#include "database.h"
#include "folder.h"
#include "schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace
{
bool createSchema(const QString &path, QString *error)
{
    const QString connection = QStringLiteral("varlume-create");
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
            if (ok)
                ok = db.commit();
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
    if (QFileInfo::exists(path)) {
        *error = QStringLiteral("The file \"%1\" exists already.").arg(path);
        return false;
    }
    QString reason;
    bool ok = createSchema(path, &reason);
    if (ok) {
        // The seed row goes in through a fresh handle, as every later writer does.
        Database db(appFolder);
        ok = db.open()
            && db.insert(QStringLiteral("charts"),
                         {{QStringLiteral("starname"), QStringLiteral("ss cyg")},
                          {QStringLiteral("chart"), QStringLiteral("1896")},
                          {QStringLiteral("nightly"), QStringLiteral("yes")},
                          {QStringLiteral("picturefile"), QStringLiteral("ss cyg.gif")},
                          {QStringLiteral("finderchart"), QStringLiteral("ss cyg-finder.gif")},
                          {QStringLiteral("constell"), QStringLiteral("cyg")}});
        if (!ok)
            reason = db.error();
    }
    if (!ok) {
        QFile::remove(path);
        *error = QStringLiteral("The database \"%1\" could not be created: %2").arg(path, reason);
    }
    return ok;
}
