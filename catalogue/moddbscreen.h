// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "catalogue/chartrecord.h"
#include "catalogue/datasource.h"

#include <QString>

#include <optional>

namespace catalogue
{

// The catalogue screen's routines that touch the database, and its texts.
// Each opens the database for its own operation; every value is bound, so a
// name with an apostrophe is just a name.
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

// The rows of a table; nothing on failure, with the reason.
std::optional<qint64> countcharts(const QString &appFolder, QString *error);
std::optional<qint64> countobs(const QString &appFolder, QString *error);
// "My charts (12)", "My observations (12)".
QString chartsHeading(qint64 count);
QString observationsHeading(qint64 count);

enum class Lookup { Found, NotFound, Failed };
// Whether the catalogue holds a star of that name, letter case ignored.
Lookup searchstar(const QString &appFolder, const QString &name, QString *error);
// The same question as the name field is left: is the name taken already?
Lookup checkduplicate(const QString &appFolder, const QString &name, QString *error);
// Whether two names are one star's, as the catalogue compares them.
bool sameStar(const QString &a, const QString &b);

// The record of a star; nothing when there is none (error() empty) or the
// database failed (error set).
std::optional<ChartRow> loadforedit(const QString &appFolder, const QString &name, QString *error);

struct Outcome
{
    enum Kind {
        Done,
        // A star of that name is in the catalogue already (New record).
        Duplicate,
        // The fields cannot be stored; the message names the field.
        Refused,
        // No star of that name is in the catalogue.
        NotFound,
        // The database failed; the message says why.
        Failed,
    };
    Kind kind = Done;
    QString message;
    // Done: what was stored.
    ChartRow row;
};

// New record: adds the fields as a new row.
Outcome addchart(const QString &appFolder, const ChartFields &fields);
// Save Changes: writes the fields into the row of the star of that name.
// With a record loaded by Edit record, the name must still be that star's:
// another name is refused, since its row would be overwritten.
Outcome savechanges(const QString &appFolder, const QString &name, const ChartFields &fields,
                    const std::optional<QString> &loaded = std::nullopt);
// Delete: removes the row of the star of that name.
Outcome deletechart(const QString &appFolder, const QString &name);

// "The star "x" is not in the database." (or that no star was named).
QString notInCatalogue(const QString &name);

// The number of observations of a star, letter case ignored; nothing when
// the database cannot be read.
std::optional<qint64> findobs(const QString &appFolder, const QString &name, QString *error);
// "3 obs of ss cyg".
QString obsOf(qint64 count, const QString &name);
}

} // namespace catalogue
