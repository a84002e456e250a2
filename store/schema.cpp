// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/schema.h"

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
}

const store::Column *store::Table::column(const QString &columnName) const
{
    for (const auto &c : columns) {
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

int store::Table::length(QLatin1StringView columnName) const
{
    const Column *c = column(columnName);
    Q_ASSERT(c);
    return c ? c->length : 0;
}

QStringList store::Table::columnNames() const
{
    QStringList names;
    for (const auto &c : columns)
        names.append(c.name);
    return names;
}

const store::Table &store::charts()
{
    static const Table table{QStringLiteral("Charts"),
                             {{column::starname, 30},
                              {column::chart, 10},
                              {column::nightly, 3},
                              {column::picturefile, 30},
                              {column::finderchart, 30},
                              {column::constell, 3}}};
    return table;
}

const store::Table &store::cumobs()
{
    static const Table table{QStringLiteral("cumobs"),
                             {{column::star, 30},
                              {column::magnitude, 10},
                              {column::estimate, 15},
                              {column::obsdate, 15},
                              {column::obscode, 15},
                              {column::notes, 100},
                              {column::chart, 30}}};
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

QStringList store::creationStatements()
{
    return QStringList{
               createTableSql(charts()),
               QStringLiteral("CREATE UNIQUE INDEX starname ON %1 (%2)").arg(charts().name, column::starname),
               createTableSql(cumobs()),
           }
    + additionStatements();
}

QStringList store::additionStatements()
{
    // Typed columns: these rows are the program's own, never a user's text
    // of a fixed length. Keyed by the catalogue's name of the star.
    using namespace column;
    return lookupIndexStatements()
        + QStringList{QStringLiteral("CREATE TABLE %1 (%2 TEXT COLLATE NOCASE PRIMARY KEY NOT NULL, "
                                     "%3 REAL NOT NULL, %4 REAL NOT NULL, %5 TEXT, %6 REAL, "
                                     "%7 INTEGER NOT NULL DEFAULT 0, %8 REAL, %9 TEXT, %10 TEXT)")
                          .arg(positionsTable, star, ra, dec, type, period, periodUncertain, epoch, max, min)}
    + ledgerStatements()
        // The rows as JSON arrays of their seven texts: a record is read back
        // whole, never searched by a column of the row.
        + QStringList{QStringLiteral("CREATE TABLE %1 (%2 INTEGER PRIMARY KEY, %3 TEXT NOT NULL, %4 TEXT NOT NULL, "
                                     "%5 TEXT, %6 TEXT, %7 TEXT, %8 INTEGER, %9 TEXT, %10 TEXT, "
                                     "%11 INTEGER NOT NULL, %12 TEXT NOT NULL, %13 INTEGER, "
                                     "%14 INTEGER NOT NULL DEFAULT 0)")
                          .arg(changesTable, id, at, kind, report, oldLine, newLine, row, oldRow, newRow)
                          .arg(copies, state, undoes, dismissed)}
    // Two stars of a chart may share a label, never an AUID.
    + QStringList{QStringLiteral("CREATE TABLE %1 (%2 TEXT COLLATE NOCASE NOT NULL, %3 TEXT NOT NULL, "
                                 "%4 TEXT NOT NULL, %5 REAL, %6 REAL, %7 TEXT, %8 TEXT NOT NULL, "
                                 "PRIMARY KEY (%2, %3)) WITHOUT ROWID")
                      .arg(sequencesTable, chart, auid, label, vMag, vError, comments, readAt),
                  QStringLiteral("CREATE TABLE %1 (%2 INTEGER PRIMARY KEY, %3 TEXT COLLATE NOCASE NOT NULL, "
                                 "%4 TEXT NOT NULL, %5 TEXT NOT NULL, %6 TEXT NOT NULL, %7 TEXT, %8 TEXT, "
                                 "%9 REAL, %10 REAL, %11 INTEGER NOT NULL DEFAULT 0)")
                      .arg(sequenceChangesTable, id, chart, at, auid, kind, label, newLabel, oldV, newV)
                      .arg(told),
                  QStringLiteral("CREATE TABLE %1 (%2 TEXT COLLATE NOCASE PRIMARY KEY NOT NULL, %3 TEXT NOT NULL) "
                                 "WITHOUT ROWID")
                      .arg(sequenceLabelsTable, chart, labels)}
    + importStatements();
}

QStringList store::ledgerStatements()
{
    // The program's own rows, typed: the date in ten-thousandths of a day and
    // the magnitude as numbers, so that one observation is one row however
    // the downloads write it. Keyed by date first: a download comes in date
    // order, so its rows are added at the end, and are read in the order the
    // matching wants them. One row of coverage, there once a download was
    // imported; its date stays empty while none held an observation.
    using namespace column;
    return {
        QStringLiteral("CREATE TABLE %1 (%2 TEXT COLLATE NOCASE NOT NULL, %3 INTEGER NOT NULL, "
                       "%4 REAL NOT NULL, %5 INTEGER NOT NULL, "
                       "PRIMARY KEY (%3, %4, %5, %2)) WITHOUT ROWID")
            .arg(ledgerTable, star, jd, magnitude, fainter),
        QStringLiteral("CREATE TABLE %1 (%2 INTEGER PRIMARY KEY CHECK (%2 = 1), %3 INTEGER)")
            .arg(ledgerCoverageTable, id, newest),
    };
}

QStringList store::importStatements()
{
    // One row per import, written with its first transaction and brought up
    // to date with each one after; one part per committed transaction: the
    // rows it added (a range of engine numbers and their checksum) and the
    // ledger's keys it read (packed, read back whole); one row per undo, with
    // the rows it removed, packed, for taking the undo back.
    using namespace column;
    const auto table = [](QLatin1StringView name, const QStringList &columns) {
        return QStringLiteral("CREATE TABLE %1 (%2)").arg(name, columns.join(QStringLiteral(", ")));
    };
    const auto typed = [](QLatin1StringView name, const char *type) -> QString {
        return name + QLatin1Char(' ') + QLatin1String(type);
    };
    return {
        table(importsTable,
              {typed(id, "INTEGER PRIMARY KEY"), typed(file, "TEXT NOT NULL"), typed(size, "INTEGER NOT NULL"),
               typed(sha256, "TEXT"), typed(started, "TEXT NOT NULL"), typed(ended, "TEXT NOT NULL"),
               typed(state, "TEXT NOT NULL"), typed(stopLine, "INTEGER"), typed(added, "INTEGER NOT NULL"),
               typed(newest, "INTEGER"), typed(begunBefore, "INTEGER"), typed(newestBefore, "INTEGER"),
               typed(schemaVersion, "INTEGER NOT NULL"), typed(undone, "TEXT")}),
        table(importPartsTable,
              {typed(importId, "INTEGER NOT NULL"), typed(firstRow, "INTEGER"), typed(lastRow, "INTEGER"),
               typed(checksum, "INTEGER"), typed(changesBefore, "INTEGER"), typed(keys, "BLOB")}),
        table(importUndosTable,
              {typed(id, "INTEGER PRIMARY KEY"), typed(importId, "INTEGER NOT NULL"), typed(change, "INTEGER"),
               typed(at, "TEXT NOT NULL"), typed(removedRows, "BLOB NOT NULL"), typed(restored, "TEXT")}),
    };
}

QStringList store::lookupIndexStatements()
{
    return {
        QStringLiteral("CREATE INDEX cumobs_star_obsdate ON %1 (%2, %3)")
            .arg(cumobs().name, column::star, column::obsdate),
        QStringLiteral("CREATE INDEX cumobs_obsdate ON %1 (%2)").arg(cumobs().name, column::obsdate),
    };
}
