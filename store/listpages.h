// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// The catalogue screen's lists, read a page at a time as the list scrolls,
// each page by a statement of its own that is done before the page is shown:
// no open statement holds the file, so the observation screen can record while
// a list shows a million rows. A page goes on after the last row of the one
// before it (by its ordering columns and its engine number), so a page deep
// in a list is read as quickly as the first.
namespace store
{
class Database;

// Which rows of which table a list shows, in which order. Orders ignore
// letter case; rows without a value in an ordering column come before the
// others (after them newest first), in table order.
struct List
{
    enum Kind {
        // Every chart by constellation, then name.
        ChartsByConstellation,
        // The chart of one star.
        ChartNamed,
        // Every observation by date.
        ObservationsByDate,
        // One star's observations by date.
        ObservationsOf,
        // Every observation in table order.
        ObservationsInTableOrder,
        // Every observation newest first.
        ObservationsNewestFirst,
    };
    Kind kind = ChartsByConstellation;
    // The star of ChartNamed and ObservationsOf.
    QString star;
};

// The names of the list's columns, its headings.
QStringList columnsOf(const List &list);

// Where the reading of a list stopped; a new one is at its start.
class ListPosition final
{
public:
    bool atEnd() const;

private:
    friend struct ListReader;

    // The rows without a value in an ordering column, and those with one.
    enum Part { WithoutValue, WithValue };
    bool m_started = false;
    QList<Part> m_parts;
    qsizetype m_part = 0;
    // The last row read in the present part, and its ordering values.
    std::optional<qint64> m_rowid;
    QVariantList m_key;
};

struct ListPage
{
    // Each row its columns' texts in table order.
    QList<QStringList> rows;
    // The engine's number of each row (observationAt()).
    QList<qint64> numbers;
    ListPosition next;
};

// Up to `rows` rows of the list from the position on.
outcome::Result<ListPage> pageOf(Database &db, const List &list, const ListPosition &from, int rows);
}
