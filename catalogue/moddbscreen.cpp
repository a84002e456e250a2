// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/moddbscreen.h"

#include "store/database.h"
#include "store/schema.h"

#include <QVariantMap>

namespace catalogue
{

namespace moddbscreen
{
namespace
{
const QString charts = QStringLiteral("charts");
const QString cumobs = QStringLiteral("cumobs");
const QString starname = QStringLiteral("starname");

std::optional<qint64> countRows(const QString &appFolder, const QString &table, QString *error)
{
    store::Database db(appFolder);
    const qint64 count = db.count(table);
    if (count < 0) {
        *error = db.error();
        return std::nullopt;
    }
    return count;
}

Lookup lookup(const QString &appFolder, const QString &name, QString *error)
{
    store::Database db(appFolder);
    const qint64 count = db.count(charts, store::Where{starname, name});
    if (count < 0) {
        *error = db.error();
        return Lookup::Failed;
    }
    return count > 0 ? Lookup::Found : Lookup::NotFound;
}

QVariantMap columns(const ChartRow &row)
{
    return {{starname, row.starname},
            {QStringLiteral("chart"), row.chart},
            {QStringLiteral("nightly"), row.nightly},
            {QStringLiteral("picturefile"), row.picturefile},
            {QStringLiteral("finderchart"), row.finderchart},
            {QStringLiteral("constell"), row.constell}};
}

Outcome duplicate()
{
    return {Outcome::Duplicate,
            QStringLiteral("This star is already in the Database\n(maybe you want to edit its details instead?)"),
            {}};
}

// The checks before writing: Found, or the outcome that ends the operation.
std::optional<Outcome> mustExist(const QString &appFolder, const QString &name)
{
    QString error;
    switch (lookup(appFolder, name, &error)) {
    case Lookup::Found: return std::nullopt;
    case Lookup::NotFound: return Outcome{Outcome::NotFound, notInCatalogue(name), {}};
    case Lookup::Failed: break;
    }
    return Outcome{Outcome::Failed, error, {}};
}
}

catalogue::ListQuery chartsByConstellation()
{
    return {charts, std::nullopt, {QStringLiteral("constell"), starname}, false};
}

catalogue::ListQuery chartNamed(const QString &name)
{
    return {charts, store::Where{starname, name}, {}, false};
}

catalogue::ListQuery observationsByDate()
{
    return {cumobs, std::nullopt, {QStringLiteral("obsdate")}, false};
}

catalogue::ListQuery observationsOf(const QString &name)
{
    // In the order the star's rows lie in its index: by date.
    return {cumobs, store::Where{QStringLiteral("star"), name}, {QStringLiteral("obsdate")}, false};
}

catalogue::ListQuery observationsInTableOrder()
{
    return {cumobs, std::nullopt, {}, false};
}

catalogue::ListQuery observationsNewestFirst()
{
    return {cumobs, std::nullopt, {QStringLiteral("obsdate")}, true};
}

std::optional<qint64> countcharts(const QString &appFolder, QString *error)
{
    return countRows(appFolder, charts, error);
}

std::optional<qint64> countobs(const QString &appFolder, QString *error)
{
    return countRows(appFolder, cumobs, error);
}

QString chartsHeading(qint64 count)
{
    return QStringLiteral("My charts (%1)").arg(count);
}

QString observationsHeading(qint64 count)
{
    return QStringLiteral("My observations (%1)").arg(count);
}

Lookup searchstar(const QString &appFolder, const QString &name, QString *error)
{
    return lookup(appFolder, name, error);
}

Lookup checkduplicate(const QString &appFolder, const QString &name, QString *error)
{
    return lookup(appFolder, name, error);
}

bool sameStar(const QString &a, const QString &b)
{
    // The engine folds the letters A to Z only.
    if (a.size() != b.size())
        return false;
    const auto fold = [](QChar c) { return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (fold(a.at(i)) != fold(b.at(i)))
            return false;
    }
    return true;
}

std::optional<ChartRow> loadforedit(const QString &appFolder, const QString &name, QString *error)
{
    store::Database db(appFolder);
    const std::optional<QVariantMap> found = db.first(charts, store::Where{starname, name});
    if (!found) {
        *error = db.error();
        return std::nullopt;
    }
    const auto text = [&found](const char *column) { return found->value(QLatin1String(column)).toString(); };
    return ChartRow{text("starname"),    text("chart"),       text("nightly"),
                    text("picturefile"), text("finderchart"), text("constell")};
}

Outcome addchart(const QString &appFolder, const ChartFields &fields)
{
    QString error;
    switch (lookup(appFolder, fields.name, &error)) {
    case Lookup::Found: return duplicate();
    case Lookup::Failed: return {Outcome::Failed, error, {}};
    case Lookup::NotFound: break;
    }
    if (const auto problem = checkNewRecord(fields))
        return {Outcome::Refused, *problem, {}};
    const ChartRow row = newRecordRow(fields);
    store::Database db(appFolder);
    if (!db.insert(charts, columns(row))) {
        // Another handle may have added the star since it was looked up.
        if (lookup(appFolder, fields.name, &error) == Lookup::Found)
            return duplicate();
        return {Outcome::Failed, db.error(), {}};
    }
    return {Outcome::Done, {}, row};
}

Outcome savechanges(const QString &appFolder, const QString &name, const ChartFields &fields,
                    const std::optional<QString> &loaded)
{
    if (loaded && !sameStar(*loaded, name))
        return {Outcome::Refused,
                QStringLiteral("The name field holds \"%1\", but the record loaded by Edit record is \"%2\". A "
                               "star's name is the key of its record and cannot be changed: put \"%2\" back into "
                               "the name field, or add \"%1\" with New record.")
                    .arg(name, *loaded),
                {}};
    if (const auto ended = mustExist(appFolder, name))
        return *ended;
    if (const auto problem = checkEditedRecord(fields))
        return {Outcome::Refused, *problem, {}};
    const ChartRow row = editedRow(fields);
    store::Database db(appFolder);
    if (!db.update(charts, store::Where{starname, name}, columns(row)))
        return {Outcome::Failed, db.error(), {}};
    return {Outcome::Done, {}, row};
}

Outcome deletechart(const QString &appFolder, const QString &name)
{
    if (const auto ended = mustExist(appFolder, name))
        return *ended;
    store::Database db(appFolder);
    if (!db.remove(charts, store::Where{starname, name}))
        return {Outcome::Failed, db.error(), {}};
    return {};
}

QString notInCatalogue(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("No star was named.");
    return QStringLiteral("The star \"%1\" is not in the database.").arg(name);
}

std::optional<qint64> findobs(const QString &appFolder, const QString &name, QString *error)
{
    store::Database db(appFolder);
    const qint64 count = db.count(cumobs, store::Where{QStringLiteral("star"), name});
    if (count < 0) {
        *error = db.error();
        return std::nullopt;
    }
    return count;
}

QString obsOf(qint64 count, const QString &name)
{
    return QString::number(count) + QStringLiteral(" obs of ") + name;
}
}

} // namespace catalogue
