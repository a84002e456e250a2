// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/charts.h"

#include "store/schema.h"
#include "store/statement.h"

namespace
{
QVariantList chartValues(const store::ChartRow &row)
{
    return {row.starname, row.chart, row.nightly, row.picturefile, row.finderchart, row.constell};
}

store::ChartRow chartRow(const store::Statement &rows)
{
    return {rows.text(0), rows.text(1), rows.text(2), rows.text(3), rows.text(4), rows.text(5)};
}
}

outcome::Result<qint64> store::countCharts(Database &db)
{
    return countOf(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(charts().name));
}

outcome::Result<bool> store::hasChart(Database &db, const QString &name)
{
    auto found = countOf(
        db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(charts().name, column::starname), {name});
    if (!found)
        return found.problem();
    return *found > 0;
}

outcome::Result<std::optional<store::ChartRow>> store::chartOf(Database &db, const QString &name)
{
    auto rows = Statement::run(
        db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(columnList(charts()), charts().name, column::starname),
        {name});
    if (!rows)
        return rows.problem();
    if (!rows->next())
        return std::optional<ChartRow>();
    return std::optional<ChartRow>(chartRow(*rows));
}

outcome::Result<QList<store::ChartRow>> store::chartsOf(Database &db, const QStringList &names)
{
    return rowsIn(
        db,
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (%4)").arg(columnList(charts()), charts().name, column::starname),
        names, chartRow);
}

outcome::Result<QStringList> store::starsOfConstellation(Database &db, const QString &constell)
{
    return textsOf(db,
                   QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %1")
                       .arg(column::starname, charts().name, column::constell),
                   {constell});
}

outcome::Result<QList<store::ChartRow>> store::chartsByConstellation(Database &db)
{
    return rowsOf(db,
                  QStringLiteral("SELECT %1 FROM %2 ORDER BY %3, %4")
                      .arg(columnList(charts()), charts().name, column::constell, column::starname),
                  {}, chartRow);
}

outcome::Done store::addChart(Database &db, const ChartRow &row)
{
    return Statement::write(db,
                            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(charts().name, columnList(charts()), placeholders(charts().columns.size())),
                            chartValues(row));
}

outcome::Done store::changeChart(Database &db, const QString &name, const ChartRow &row)
{
    QStringList assignments;
    for (const QString &column : charts().columnNames())
        assignments.append(column + QStringLiteral(" = ?"));
    return Statement::write(db,
                            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                .arg(charts().name, assignments.join(QStringLiteral(", ")), column::starname),
                            chartValues(row) << name);
}

outcome::Done store::removeChart(Database &db, const QString &name)
{
    return Statement::write(db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(charts().name, column::starname),
                            {name});
}
