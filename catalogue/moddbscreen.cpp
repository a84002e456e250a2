// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/moddbscreen.h"

#include "store/changes.h"

#include "store/charts.h"
#include "store/database.h"
#include "store/observations.h"

namespace catalogue
{

namespace moddbscreen
{
namespace
{
// A count of the store's, its failure as the catalogue screen tells it.
outcome::Result<qint64> counted(outcome::Result<qint64> count)
{
    if (!count)
        return databaseFailure(count.problem().message);
    return count;
}

// Whether the catalogue holds a star of that name.
outcome::Result<bool> holds(const appfiles::Folder &appFolder, const QString &name)
{
    store::Database db(appFolder);
    const outcome::Result<bool> found = store::hasChart(db, name);
    if (!found)
        return databaseFailure(found.problem().message);
    return found;
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
outcome::Done mustExist(const appfiles::Folder &appFolder, const QString &name)
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
    return {store::List::ChartsByConstellation, {}};
}

catalogue::ListQuery chartNamed(const QString &name)
{
    return {store::List::ChartNamed, name};
}

catalogue::ListQuery observationsByDate()
{
    return {store::List::ObservationsByDate, {}};
}

catalogue::ListQuery observationsOf(const QString &name)
{
    return {store::List::ObservationsOf, name};
}

catalogue::ListQuery observationsInTableOrder()
{
    return {store::List::ObservationsInTableOrder, {}};
}

catalogue::ListQuery observationsNewestFirst()
{
    return {store::List::ObservationsNewestFirst, {}};
}

outcome::Result<qint64> countcharts(const appfiles::Folder &appFolder)
{
    store::Database db(appFolder);
    return counted(store::countCharts(db));
}

outcome::Result<qint64> countobs(const appfiles::Folder &appFolder)
{
    store::Database db(appFolder);
    return counted(store::countObservations(db));
}

QString chartsHeading(qint64 count)
{
    return QStringLiteral("My charts (%1)").arg(count);
}

QString observationsHeading(qint64 count)
{
    return QStringLiteral("My observations (%1)").arg(count);
}

outcome::Done searchstar(const appfiles::Folder &appFolder, const QString &name, Purpose purpose)
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

outcome::Done checkduplicate(const appfiles::Folder &appFolder, const QString &name)
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

outcome::Result<ChartRow> loadforedit(const appfiles::Folder &appFolder, const QString &name)
{
    store::Database db(appFolder);
    const auto found = store::chartOf(db, name);
    if (!found)
        return databaseFailure(found.problem().message);
    if (!*found)
        return outcome::notFound(notInCatalogue(name))
            .titled(QStringLiteral("Chart database"))
            .as(outcome::Severity::Warning);
    return **found;
}

outcome::Result<ChartRow> addchart(const appfiles::Folder &appFolder, const ChartFields &fields)
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
    if (const outcome::Done added = store::addChart(db, row); !added) {
        // Another handle may have added the star since it was looked up.
        if (holds(appFolder, fields.name).valueOr(false))
            return duplicate();
        return databaseFailure(added.problem().message);
    }
    return row;
}

outcome::Result<ChartRow> savechanges(const appfiles::Folder &appFolder, const QString &name, const ChartFields &fields,
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
    if (const outcome::Done changed = store::changeChart(db, name, row); !changed)
        return databaseFailure(changed.problem().message);
    return row;
}

outcome::Done deletechart(const appfiles::Folder &appFolder, const QString &name)
{
    if (const outcome::Done exists = mustExist(appFolder, name); !exists) {
        outcome::Problem problem = exists.problem();
        return problem.titled(QStringLiteral("Chart database")).as(outcome::Severity::Warning);
    }
    store::Database db(appFolder);
    if (const outcome::Done removed = store::removeChart(db, name); !removed)
        return databaseFailure(removed.problem().message);
    return {};
}

QString notInCatalogue(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("No star was named.");
    return QStringLiteral("The star \"%1\" is not in the database.").arg(name);
}

outcome::Result<qint64> findobs(const appfiles::Folder &appFolder, const QString &name)
{
    store::Database db(appFolder);
    return counted(store::countObservationsOf(db, name));
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

QString withdrawnOf(const appfiles::Folder &appFolder, const QString &name)
{
    store::Database db(appFolder, store::Database::Access::ReadOnly);
    if (!store::hasChanges(db).valueOr(false))
        return {};
    const qint64 withdrawn = store::countWithdrawnOf(db, name).valueOr(0);
    return withdrawn > 0 ? QStringLiteral(", %1 withdrawn").arg(withdrawn) : QString();
}
}

} // namespace catalogue
