// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/catalogue/cataloguedata.h"

#include "catalogue/moddbscreen.h"
#include "tests/support/sqlfile.h"

#include <QProcess>
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
    QList<QVariantList> values;
    for (const catalogue::moddbscreen::ChartRow &row : rows)
        values.append({row.starname, row.chart, row.nightly, row.picturefile, row.finderchart, row.constell});
    SqlFile(folder).execEach(QStringLiteral("INSERT INTO Charts VALUES (?, ?, ?, ?, ?, ?)"), values);
}

void addObservations(const QString &folder, const QList<Observation> &observations)
{
    QList<QVariantList> values;
    for (const Observation &observation : observations)
        values.append({observation.star, observation.obsdate});
    SqlFile(folder).execEach(
        QStringLiteral("INSERT INTO cumobs VALUES (?, '11.2', '110(1)115', ?, 'na', 'na', '1896')"), values);
}

std::optional<catalogue::moddbscreen::ChartRow> storedChart(const QString &folder, const QString &name)
{
    const outcome::Result<catalogue::moddbscreen::ChartRow> row =
        catalogue::moddbscreen::loadforedit(appfiles::Folder(folder), name);
    return row ? std::optional(*row) : std::nullopt;
}

qint64 rowCount(const QString &folder, const QString &table)
{
    return SqlFile(folder).count(table);
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
