// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/catalogue/cataloguedata.h"

#include "catalogue/moddbscreen.h"
#include "store/database.h"

#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>

namespace cataloguedata
{
catalogue::moddbscreen::ChartRow chart(const QString &name, const QString &constell)
{
    return {name,    QStringLiteral("X1"), QStringLiteral("no"), name + QStringLiteral(".gif"), QStringLiteral("none"),
            constell};
}

void addCharts(const QString &folder, const QList<catalogue::moddbscreen::ChartRow> &rows)
{
    store::Database db(folder);
    if (!db.open())
        return;
    QSqlDatabase handle = db.handle();
    handle.transaction();
    QSqlQuery insert(handle);
    insert.prepare(QStringLiteral("INSERT INTO Charts VALUES (?, ?, ?, ?, ?, ?)"));
    for (const catalogue::moddbscreen::ChartRow &row : rows) {
        for (const QString &value :
             {row.starname, row.chart, row.nightly, row.picturefile, row.finderchart, row.constell})
            insert.addBindValue(value);
        insert.exec();
    }
    handle.commit();
}

void addObservations(const QString &folder, const QList<Observation> &observations)
{
    store::Database db(folder);
    if (!db.open())
        return;
    QSqlDatabase handle = db.handle();
    handle.transaction();
    QSqlQuery insert(handle);
    insert.prepare(QStringLiteral("INSERT INTO cumobs VALUES (?, '11.2', '110(1)115', ?, 'na', 'na', '1896')"));
    for (const Observation &observation : observations) {
        insert.addBindValue(observation.star);
        insert.addBindValue(observation.obsdate);
        insert.exec();
    }
    handle.commit();
}

std::optional<catalogue::moddbscreen::ChartRow> storedChart(const QString &folder, const QString &name)
{
    const outcome::Result<catalogue::moddbscreen::ChartRow> row = catalogue::moddbscreen::loadforedit(folder, name);
    return row ? std::optional(*row) : std::nullopt;
}

qint64 rowCount(const QString &folder, const QString &table)
{
    return store::Database(folder).count(table);
}

std::optional<QString> pdfText(const QString &pdf)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}
}
