// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/datasource.h"

#include "store/changes.h"

#include <QFont>

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
    m_numbers = std::move(first->numbers);
    m_corrected.clear();
    m_next = std::move(first->next);
    m_database = std::move(db);
    markCorrected(m_numbers);
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
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const bool corrected = m_corrected.contains(m_numbers.value(index.row(), -1));
    switch (role) {
    case Qt::DisplayRole: return m_rows.at(index.row()).value(index.column());
    case Qt::ToolTipRole:
        return QString(m_rows.at(index.row()).value(index.column())
                       + (corrected ? QStringLiteral(" (corrected: varlume --history shows how)") : QString()));
    case Qt::FontRole:
        if (corrected) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    default: return {};
    }
}

std::optional<qint64> DataSource::rowNumber(int row) const
{
    if (row < 0 || row >= m_numbers.size())
        return std::nullopt;
    return m_numbers.at(row);
}

QStringList DataSource::rowTexts(int row) const
{
    return m_rows.value(row);
}

void DataSource::markCorrected(const QList<qint64> &numbers)
{
    if (!m_database || m_query.kind == ListQuery::ChartsByConstellation || m_query.kind == ListQuery::ChartNamed)
        return;
    // Without a record of changes nothing was corrected.
    if (!store::hasChanges(*m_database).valueOr(false))
        return;
    for (const qint64 number : store::correctedAmong(*m_database, numbers).valueOr({}))
        m_corrected.insert(number);
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
        markCorrected(more->numbers);
        m_numbers.append(std::move(more->numbers));
        m_next = std::move(more->next);
        endInsertRows();
    } else {
        m_next = std::move(more->next);
    }
}
}
