// SPDX-License-Identifier: GPL-2.0-or-later
#include "catalogue/datasource.h"

#include "store/schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace catalogue
{
namespace
{
int indexOf(const store::Table &table, const QString &column)
{
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (table.columns.at(i).name.compare(column, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}
}

outcome::Problem databaseFailure(const QString &reason)
{
    return outcome::failed(reason).titled(QStringLiteral("Chart database")).as(outcome::Severity::Warning);
}

DataSource::DataSource(const QString &appFolder, QObject *parent)
    : QAbstractTableModel(parent)
    , m_appFolder(appFolder)
{
}

DataSource::~DataSource() = default;

outcome::Done DataSource::run(const ListQuery &query)
{
    const store::Table *table = store::table(query.table);
    if (!table)
        return databaseFailure(QStringLiteral("Unknown table \"%1\".").arg(query.table));
    auto db = std::make_unique<store::Database>(m_appFolder);
    if (!db->open())
        return databaseFailure(db->error());
    Position start;
    if (query.order.isEmpty())
        start.parts = {Position::WithValue};
    else if (query.descending)
        start.parts = {Position::WithValue, Position::WithoutValue};
    else
        start.parts = {Position::WithoutValue, Position::WithValue};
    outcome::Result<Chunk> first = read(*db, query, start);
    if (!first)
        return first.problem();

    beginResetModel();
    m_query = query;
    m_columns.clear();
    for (const store::Column &column : table->columns)
        m_columns.append(column.name);
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
    return !parent.isValid() && m_database && m_next.part < m_next.parts.size();
}

void DataSource::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    outcome::Result<Chunk> more = read(*m_database, m_query, m_next);
    if (!more) {
        // What was read stays listed; the rest cannot be had.
        m_next.part = m_next.parts.size();
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

outcome::Result<DataSource::Chunk> DataSource::read(store::Database &db, const ListQuery &query, Position from)
{
    const store::Table *table = store::table(query.table);
    QStringList names;
    for (const store::Column &column : table->columns)
        names.append(column.name);
    QList<int> keyColumns;
    for (const QString &key : query.order) {
        const int column = indexOf(*table, key);
        if (column < 0)
            return databaseFailure(QStringLiteral("Unknown column \"%1\" in table \"%2\".").arg(key, table->name));
        keyColumns.append(column);
    }
    if (query.where && !table->column(query.where->column))
        return databaseFailure(
            QStringLiteral("Unknown column \"%1\" in table \"%2\".").arg(query.where->column, table->name));

    const QString direction = query.descending ? QStringLiteral(" DESC") : QString();
    const QString after = query.descending ? QStringLiteral("<") : QStringLiteral(">");
    Chunk result{{}, std::move(from)};
    Position &at = result.next;
    while (result.rows.size() < chunk && at.part < at.parts.size()) {
        // Identifiers come from the schema; every value is bound.
        QStringList conditions;
        QVariantList values;
        if (query.where) {
            conditions.append(query.where->column + QStringLiteral(" = ?"));
            values.append(query.where->value);
        }
        QStringList orderBy;
        if (at.parts.at(at.part) == Position::WithoutValue) {
            QStringList absent;
            for (const QString &key : query.order)
                absent.append(key + QStringLiteral(" IS NULL"));
            conditions.append(u'(' + absent.join(QStringLiteral(" OR ")) + u')');
            if (at.rowid) {
                conditions.append(QStringLiteral("rowid %1 ?").arg(after));
                values.append(*at.rowid);
            }
        } else {
            for (const QString &key : query.order) {
                conditions.append(key + QStringLiteral(" IS NOT NULL"));
                orderBy.append(key + direction);
            }
            if (at.rowid) {
                const QStringList keys = QStringList(query.order) << QStringLiteral("rowid");
                conditions.append(QStringLiteral("(%1) %2 (%3)")
                                      .arg(keys.join(QStringLiteral(", ")), after,
                                           QStringList(keys.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
                values += at.key;
                values.append(*at.rowid);
            }
        }
        orderBy.append(QStringLiteral("rowid") + direction);
        const qsizetype wanted = chunk - result.rows.size();
        values.append(wanted);

        QSqlQuery statement(db.handle());
        statement.setForwardOnly(true);
        const QString sql =
            QStringLiteral("SELECT rowid, %1 FROM %2%3 ORDER BY %4 LIMIT ?")
                .arg(names.join(QStringLiteral(", ")), table->name,
                     conditions.isEmpty() ? QString()
                                          : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")),
                     orderBy.join(QStringLiteral(", ")));
        if (!statement.prepare(sql))
            return databaseFailure(statement.lastError().text());
        for (const QVariant &value : std::as_const(values))
            statement.addBindValue(value);
        if (!statement.exec())
            return databaseFailure(statement.lastError().text());
        qsizetype got = 0;
        while (statement.next()) {
            ++got;
            QStringList row;
            row.reserve(names.size());
            for (int i = 1; i <= names.size(); ++i)
                row.append(statement.value(i).toString());
            at.rowid = statement.value(0).toLongLong();
            at.key.clear();
            for (const int column : std::as_const(keyColumns))
                at.key.append(statement.value(column + 1));
            result.rows.append(std::move(row));
        }
        if (got < wanted) {
            ++at.part;
            at.rowid.reset();
            at.key.clear();
        }
    }
    return result;
}
}
