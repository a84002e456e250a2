// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/datasource.h"

namespace catalogue
{
outcome::Problem databaseFailure(const QString &reason)
{
    return outcome::failed(reason).titled(QStringLiteral("Chart database")).as(outcome::Severity::Warning);
}

DataSource::DataSource(const appfiles::Folder &appFolder, QObject *parent)
    : QAbstractTableModel(parent)
    , m_appFolder(appFolder)
{
}

DataSource::~DataSource() = default;

outcome::Done DataSource::run(const ListQuery &query)
{
    auto db = std::make_unique<store::Database>(m_appFolder);
    auto first = store::pageOf(*db, query, store::ListPosition(), chunk);
    if (!first)
        return databaseFailure(first.problem().message);

    beginResetModel();
    m_query = query;
    m_columns = store::columnsOf(query);
    m_rows = std::move(first->rows);
    m_next = std::move(first->next);
    m_database = std::move(db);
    endResetModel();
    return {};
}

outcome::Done DataSource::refresh()
{
    return run(m_query);
}

const ListQuery &DataSource::query() const
{
    return m_query;
}

int DataSource::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int DataSource::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DataSource::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole) || index.row() >= m_rows.size())
        return {};
    return m_rows.at(index.row()).value(index.column());
}

QVariant DataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_columns.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool DataSource::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_database && !m_next.atEnd();
}

void DataSource::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    auto more = store::pageOf(*m_database, m_query, m_next, chunk);
    if (!more) {
        // What was read stays listed; the rest cannot be had.
        m_database.reset();
        return;
    }
    if (!more->rows.isEmpty()) {
        const int first = static_cast<int>(m_rows.size());
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(more->rows.size()) - 1);
        m_rows.append(std::move(more->rows));
        m_next = std::move(more->next);
        endInsertRows();
    } else {
        m_next = std::move(more->next);
    }
}
}
