#include "schema.h"

#include "database.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace
{
QString columnDefinition(const store::Table &table, const store::Column &column)
{
    // NULL passes a CHECK; an empty or too long text does not. The constraint
    // name lets an engine error be told back to the user by table and column.
    return QStringLiteral("%1 TEXT COLLATE NOCASE CONSTRAINT %2_%1_text CHECK (%1 <> '' AND length(%1) <= %3)")
        .arg(column.name, table.name)
        .arg(column.length);
}

QString createTableSql(const store::Table &table)
{
    QStringList columns;
    for (const auto &column : table.columns)
        columns.append(columnDefinition(table, column));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", ")));
}

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
            const QStringList statements{
                createTableSql(store::charts()),
                QStringLiteral("CREATE UNIQUE INDEX starname ON Charts (starname)"),
                createTableSql(store::cumobs()),
            };
            ok = db.transaction();
            for (const auto &sql : statements) {
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

const store::Column *store::Table::column(const QString &name) const
{
    for (const auto &c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

const store::Table &store::charts()
{
    static const Table table{QStringLiteral("Charts"),
                             {{QStringLiteral("starname"), 30},
                              {QStringLiteral("chart"), 10},
                              {QStringLiteral("nightly"), 3},
                              {QStringLiteral("picturefile"), 30},
                              {QStringLiteral("finderchart"), 30},
                              {QStringLiteral("constell"), 3}}};
    return table;
}

const store::Table &store::cumobs()
{
    static const Table table{QStringLiteral("cumobs"),
                             {{QStringLiteral("star"), 30},
                              {QStringLiteral("magnitude"), 10},
                              {QStringLiteral("estimate"), 15},
                              {QStringLiteral("obsdate"), 15},
                              {QStringLiteral("obscode"), 15},
                              {QStringLiteral("notes"), 100},
                              {QStringLiteral("chart"), 30}}};
    return table;
}

const store::Table *store::table(const QString &name)
{
    for (const Table *t : {&charts(), &cumobs()}) {
        if (t->name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    return nullptr;
}

QString store::databasePath(const QString &appFolder)
{
    return appFolder + QStringLiteral("/starcharts.mdb");
}

bool store::createDefault(const QString &appFolder, QString *error)
{
    const QString path = databasePath(appFolder);
    if (QFileInfo::exists(path)) {
        *error = QStringLiteral("The file \"%1\" exists already.").arg(path);
        return false;
    }
    QString reason;
    bool ok = createSchema(path, &reason);
    if (ok) {
        // The seed row goes in through a fresh handle, as every later writer does.
        Database db(appFolder);
        ok = db.open() && db.insert(QStringLiteral("charts"),
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
