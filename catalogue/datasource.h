// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/database.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>
#include <optional>

namespace catalogue
{
// What a list shows: every column of one table, optionally only the rows
// whose column equals a value, ordered by some columns (letter case
// ignored, all in one direction) or in table order.
struct ListQuery
{
    QString table;
    std::optional<store::Where> where;
    QStringList order;
    bool descending = false;
};

// A failure of the database, in the engine's words, as the catalogue screen
// tells it: in the box "Chart database".
outcome::Problem databaseFailure(const QString &reason);

// The data source of a catalogue list: the rows of its current query, with
// the table's column names as the header. Rows come a chunk at a time, as
// the list scrolls, each chunk read by a statement of its own that is done
// before the chunk is shown: no open statement holds the file, so the
// observation screen can record while the list shows a million rows. Rows
// with no value in an ordering column come before the others (after them
// in descending order), in table order.
class DataSource final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int chunk = 256;

    explicit DataSource(const QString &appFolder, QObject *parent = nullptr);
    ~DataSource() override;

    // Makes the query current and shows its first rows. On failure the list
    // and its current query stay as they were.
    outcome::Done run(const ListQuery &query);
    // Runs the current query again.
    outcome::Done refresh();
    const ListQuery &query() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    // Where reading stopped: in which part of the ordering, after which row.
    struct Position
    {
        enum Part { WithoutValue, WithValue, Done };
        QList<Part> parts;
        qsizetype part = 0;
        std::optional<qint64> rowid;
        QVariantList key;
    };
    struct Chunk
    {
        QList<QStringList> rows;
        Position next;
    };

    outcome::Result<Chunk> read(store::Database &db, const ListQuery &query, Position from);

    QString m_appFolder;
    ListQuery m_query;
    std::unique_ptr<store::Database> m_database;
    QStringList m_columns;
    QList<QStringList> m_rows;
    Position m_next;
};
}
