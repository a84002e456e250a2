// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "store/database.h"
#include "store/listpages.h"

#include <QSet>

#include <optional>

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>

namespace catalogue
{
// What a list shows: one of the store's lists.
using ListQuery = store::List;

// A failure of the database, in the engine's words, as the catalogue screen
// tells it: in the box "Chart database".
outcome::Problem databaseFailure(const QString &reason);

// The data source of a catalogue list: the rows of its current query, with
// the table's column names as the header. Rows come a chunk at a time, as
// the list scrolls, each a page of the store's (store::pageOf).
class DataSource final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int chunk = 256;

    explicit DataSource(const appfiles::Folder &appFolder, QObject *parent = nullptr);
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

    // The engine's number of the listed row, for a change of it.
    std::optional<qint64> rowNumber(int row) const;
    // The texts of the listed row, in table order.
    QStringList rowTexts(int row) const;

private:
    // Notes which of the rows read were corrected: shown in italics.
    void markCorrected(const QList<qint64> &numbers);

    appfiles::Folder m_appFolder;
    ListQuery m_query;
    std::unique_ptr<store::Database> m_database;
    QStringList m_columns;
    QList<QStringList> m_rows;
    QList<qint64> m_numbers;
    QSet<qint64> m_corrected;
    store::ListPosition m_next;
};
}
