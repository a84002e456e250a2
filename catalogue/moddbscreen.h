// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "catalogue/chartrecord.h"
#include "catalogue/datasource.h"
#include "outcome/result.h"

#include <QString>

#include <optional>

namespace catalogue
{

// The catalogue screen's routines that touch the database, and its texts.
// Each opens the database for its own operation; every value is bound, so a
// name with an apostrophe is just a name. A problem comes worded for the box
// that shows it; a failure of the database as databaseFailure() words it.
namespace moddbscreen
{
// The chart list's queries: all charts by constellation, then name; one star.
catalogue::ListQuery chartsByConstellation();
catalogue::ListQuery chartNamed(const QString &name);
// The observation list's queries: all by date (as the screen opens); one
// star's; all in table order (Reset); all newest first (Invert).
catalogue::ListQuery observationsByDate();
catalogue::ListQuery observationsOf(const QString &name);
catalogue::ListQuery observationsInTableOrder();
catalogue::ListQuery observationsNewestFirst();

// The rows of a table.
outcome::Result<qint64> countcharts(const appfiles::Folder &appFolder);
outcome::Result<qint64> countobs(const appfiles::Folder &appFolder);
// "My charts (12)", "My observations (12)".
QString chartsHeading(qint64 count);
QString observationsHeading(qint64 count);

// Which button looks up the star named in the search box: each words the
// box "Star not found" its own way.
enum class Purpose { Search, Edit, Delete };
// Whether the catalogue holds a star of that name, letter case ignored: not
// found, naming the search box, when it does not.
outcome::Done searchstar(const appfiles::Folder &appFolder, const QString &name, Purpose purpose = Purpose::Search);
// The same question as the name field is left: a duplicate, naming the name
// field, when the name is taken already.
outcome::Done checkduplicate(const appfiles::Folder &appFolder, const QString &name);
// Whether two names are one star's, as the catalogue compares them.
bool sameStar(const QString &a, const QString &b);

// The record of a star; not found when there is none.
outcome::Result<ChartRow> loadforedit(const appfiles::Folder &appFolder, const QString &name);

// New record: adds the fields as a new row and gives what was stored. A star
// of that name in the catalogue already is a duplicate, in the box "No need
// for new record!"; fields that cannot be stored are refused, naming the
// field, in the box "Record not added".
outcome::Result<ChartRow> addchart(const appfiles::Folder &appFolder, const ChartFields &fields);
// Save Changes: writes the fields into the row of the star of that name and
// gives what was stored. With a record loaded by Edit record, the name must
// still be that star's: another name is refused, since its row would be
// overwritten. Refusals come in the box "Changes not saved", a star not in
// the catalogue in "Star not found".
outcome::Result<ChartRow> savechanges(const appfiles::Folder &appFolder, const QString &name, const ChartFields &fields,
                                      const std::optional<QString> &loaded = std::nullopt);
// Delete: removes the row of the star of that name.
outcome::Done deletechart(const appfiles::Folder &appFolder, const QString &name);

// "The star "x" is not in the database." (or that no star was named).
QString notInCatalogue(const QString &name);

// The number of observations of a star, letter case ignored.
outcome::Result<qint64> findobs(const appfiles::Folder &appFolder, const QString &name);
// What the box "Not Found" tells when a star's observations cannot be
// counted or listed.
outcome::Problem noObservations();
// "3 obs of ss cyg".
QString obsOf(qint64 count, const QString &name);
// ", 2 withdrawn": the star's observations withdrawn and not restored; empty
// when none were, or there is no record of changes.
QString withdrawnOf(const appfiles::Folder &appFolder, const QString &name);
}

} // namespace catalogue
