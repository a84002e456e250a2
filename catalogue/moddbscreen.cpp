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

outcome::Result<qint64> countRows(const QString &appFolder, const QString &table)
{
    store::Database db(appFolder);
    const qint64 count = db.count(table);
    if (count < 0)
        return databaseFailure(db.error());
    return count;
}

// Whether the catalogue holds a star of that name.
outcome::Result<bool> holds(const QString &appFolder, const QString &name)
{
    store::Database db(appFolder);
    const qint64 count = db.count(charts, store::Where{starname, name});
    if (count < 0)
        return databaseFailure(db.error());
    return count > 0;
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

outcome::Problem duplicate()
{
    return outcome::duplicate(
               QStringLiteral("This star is already in the Database\n(maybe you want to edit its details instead?)"))
        .inField(QStringLiteral("txtName"))
        .titled(QStringLiteral("No need for new record!"))
        .as(outcome::Severity::Information);
}

// The problem of a refused record, with what became of it.
outcome::Problem notStored(outcome::Problem problem, const QString &kept, const QString &title)
{
    problem.message += kept;
    return problem.titled(title).as(outcome::Severity::Warning);
}

// Before writing: the star must be there, else the problem that ends the operation.
outcome::Done mustExist(const QString &appFolder, const QString &name)
{
    const outcome::Result<bool> found = holds(appFolder, name);
    if (!found)
        return found.problem();
    if (!*found)
        return outcome::notFound(notInCatalogue(name));
    return {};
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

outcome::Result<qint64> countcharts(const QString &appFolder)
{
    return countRows(appFolder, charts);
}

outcome::Result<qint64> countobs(const QString &appFolder)
{
    return countRows(appFolder, cumobs);
}

QString chartsHeading(qint64 count)
{
    return QStringLiteral("My charts (%1)").arg(count);
}

QString observationsHeading(qint64 count)
{
    return QStringLiteral("My observations (%1)").arg(count);
}

outcome::Done searchstar(const QString &appFolder, const QString &name, Purpose purpose)
{
    const outcome::Result<bool> found = holds(appFolder, name);
    if (!found)
        return found.problem();
    if (*found)
        return {};
    QString message;
    switch (purpose) {
    case Purpose::Search: message = QStringLiteral("Star is not in the database.\nPlease check the spelling."); break;
    case Purpose::Edit:
        message = notInCatalogue(name)
            + QStringLiteral("\nEdit record loads the star named in the search box: search for the star first.");
        break;
    case Purpose::Delete:
        message = notInCatalogue(name)
            + QStringLiteral("\nDelete removes the star named in the search box: search for the star first. Nothing "
                             "was deleted.");
        break;
    }
    return outcome::notFound(message)
        .inField(QStringLiteral("txtsearch"))
        .titled(QStringLiteral("Star not found"))
        .as(outcome::Severity::Information);
}

outcome::Done checkduplicate(const QString &appFolder, const QString &name)
{
    const outcome::Result<bool> found = holds(appFolder, name);
    if (!found)
        return found.problem();
    if (!*found)
        return {};
    return outcome::duplicate(QStringLiteral("Star is already in the database"))
        .inField(QStringLiteral("txtName"))
        .titled(QStringLiteral("Duplicate entry"))
        .as(outcome::Severity::Information);
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

outcome::Result<ChartRow> loadforedit(const QString &appFolder, const QString &name)
{
    store::Database db(appFolder);
    const std::optional<QVariantMap> found = db.first(charts, store::Where{starname, name});
    if (!found && db.error().isEmpty())
        return outcome::notFound(notInCatalogue(name))
            .titled(QStringLiteral("Chart database"))
            .as(outcome::Severity::Warning);
    if (!found)
        return databaseFailure(db.error());
    const auto text = [&found](const char *column) { return found->value(QLatin1String(column)).toString(); };
    return ChartRow{text("starname"),    text("chart"),       text("nightly"),
                    text("picturefile"), text("finderchart"), text("constell")};
}

outcome::Result<ChartRow> addchart(const QString &appFolder, const ChartFields &fields)
{
    const outcome::Result<bool> found = holds(appFolder, fields.name);
    if (!found)
        return found.problem();
    if (*found)
        return duplicate();
    if (const outcome::Done checked = checkNewRecord(fields); !checked)
        return notStored(checked.problem(), QStringLiteral("\nThe record was not added."),
                         QStringLiteral("Record not added"));
    const ChartRow row = newRecordRow(fields);
    store::Database db(appFolder);
    if (!db.insert(charts, columns(row))) {
        // Another handle may have added the star since it was looked up.
        if (holds(appFolder, fields.name).valueOr(false))
            return duplicate();
        return databaseFailure(db.error());
    }
    return row;
}

outcome::Result<ChartRow> savechanges(const QString &appFolder, const QString &name, const ChartFields &fields,
                                      const std::optional<QString> &loaded)
{
    const QString nothingSaved = QStringLiteral("\nNothing was saved.");
    const QString title = QStringLiteral("Changes not saved");
    if (loaded && !sameStar(*loaded, name))
        return notStored(
            outcome::refused(
                QStringLiteral("The name field holds \"%1\", but the record loaded by Edit record is \"%2\". A "
                               "star's name is the key of its record and cannot be changed: put \"%2\" back into "
                               "the name field, or add \"%1\" with New record.")
                    .arg(name, *loaded),
                QStringLiteral("txtName")),
            nothingSaved, title);
    if (const outcome::Done exists = mustExist(appFolder, name); !exists) {
        outcome::Problem problem = exists.problem();
        if (problem.kind != outcome::Kind::NotFound)
            return problem;
        problem.message += nothingSaved
            + QStringLiteral(" A star's name is the key of its record and cannot be changed: to rename a star, add "
                             "it under its new name with New record and delete the old record.");
        return problem.inField(QStringLiteral("txtName"))
            .titled(QStringLiteral("Star not found"))
            .as(outcome::Severity::Information);
    }
    if (const outcome::Done checked = checkEditedRecord(fields); !checked)
        return notStored(checked.problem(), nothingSaved, title);
    const ChartRow row = editedRow(fields);
    store::Database db(appFolder);
    if (!db.update(charts, store::Where{starname, name}, columns(row)))
        return databaseFailure(db.error());
    return row;
}

outcome::Done deletechart(const QString &appFolder, const QString &name)
{
    if (const outcome::Done exists = mustExist(appFolder, name); !exists) {
        outcome::Problem problem = exists.problem();
        return problem.titled(QStringLiteral("Chart database")).as(outcome::Severity::Warning);
    }
    store::Database db(appFolder);
    if (!db.remove(charts, store::Where{starname, name}))
        return databaseFailure(db.error());
    return {};
}

QString notInCatalogue(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("No star was named.");
    return QStringLiteral("The star \"%1\" is not in the database.").arg(name);
}

outcome::Result<qint64> findobs(const QString &appFolder, const QString &name)
{
    store::Database db(appFolder);
    const qint64 count = db.count(cumobs, store::Where{QStringLiteral("star"), name});
    if (count < 0)
        return databaseFailure(db.error());
    return count;
}

outcome::Problem noObservations()
{
    return outcome::notFound(QStringLiteral("No observations of this star are available.\nPlease check the spelling"))
        .titled(QStringLiteral("Not Found"))
        .as(outcome::Severity::Information);
}

QString obsOf(qint64 count, const QString &name)
{
    return QString::number(count) + QStringLiteral(" obs of ") + name;
}
}

} // namespace catalogue
