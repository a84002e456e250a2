// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/listpages.h"

#include "store/schema.h"
#include "store/statement.h"

namespace
{
// The query behind a list: the table, the column a star's name must equal,
// and the ordering columns.
struct Shape
{
    const store::Table *table;
    std::optional<QLatin1StringView> where;
    QList<QLatin1StringView> order;
    bool descending = false;
};

Shape shapeOf(const store::List &list)
{
    using namespace store::column;
    switch (list.kind) {
    case store::List::ChartsByConstellation: return {&store::charts(), std::nullopt, {constell, starname}};
    case store::List::ChartNamed: return {&store::charts(), starname, {}};
    case store::List::ObservationsByDate: return {&store::cumobs(), std::nullopt, {obsdate}};
    // In the order the star's rows lie in its index: by date.
    case store::List::ObservationsOf: return {&store::cumobs(), star, {obsdate}};
    case store::List::ObservationsInTableOrder: return {&store::cumobs(), std::nullopt, {}};
    case store::List::ObservationsNewestFirst: return {&store::cumobs(), std::nullopt, {obsdate}, true};
    }
    Q_UNREACHABLE();
}
}

namespace store
{
struct ListReader
{
    static outcome::Result<ListPage> read(Database &db, const List &list, ListPosition at, int wanted);
};
}

QStringList store::columnsOf(const List &list)
{
    return shapeOf(list).table->columnNames();
}

bool store::ListPosition::atEnd() const
{
    return m_started && m_part >= m_parts.size();
}

outcome::Result<store::ListPage> store::pageOf(Database &db, const List &list, const ListPosition &from, int rows)
{
    return ListReader::read(db, list, from, rows);
}

outcome::Result<store::ListPage> store::ListReader::read(Database &db, const List &list, ListPosition at, int wanted)
{
    const Shape shape = shapeOf(list);
    const QStringList names = shape.table->columnNames();
    QList<qsizetype> keyColumns;
    for (const QLatin1StringView key : shape.order)
        keyColumns.append(names.indexOf(key));
    if (!at.m_started) {
        at.m_started = true;
        if (shape.order.isEmpty())
            at.m_parts = {ListPosition::WithValue};
        else if (shape.descending)
            at.m_parts = {ListPosition::WithValue, ListPosition::WithoutValue};
        else
            at.m_parts = {ListPosition::WithoutValue, ListPosition::WithValue};
    }

    const QString direction = shape.descending ? QStringLiteral(" DESC") : QString();
    const QString after = shape.descending ? QStringLiteral("<") : QStringLiteral(">");
    ListPage page{{}, {}, std::move(at)};
    ListPosition &next = page.next;
    while (page.rows.size() < wanted && next.m_part < next.m_parts.size()) {
        // Identifiers come from the schema; every value is bound.
        QStringList conditions;
        QVariantList values;
        if (shape.where) {
            conditions.append(QStringLiteral("%1 = ?").arg(*shape.where));
            values.append(list.star);
        }
        QStringList orderBy;
        if (next.m_parts.at(next.m_part) == ListPosition::WithoutValue) {
            QStringList absent;
            for (const QLatin1StringView key : shape.order)
                absent.append(QStringLiteral("%1 IS NULL").arg(key));
            conditions.append(u'(' + absent.join(QStringLiteral(" OR ")) + u')');
            if (next.m_rowid) {
                conditions.append(QStringLiteral("rowid %1 ?").arg(after));
                values.append(*next.m_rowid);
            }
        } else {
            QStringList keys;
            for (const QLatin1StringView key : shape.order) {
                conditions.append(QStringLiteral("%1 IS NOT NULL").arg(key));
                orderBy.append(QString(key) + direction);
                keys.append(key);
            }
            if (next.m_rowid) {
                keys.append(QStringLiteral("rowid"));
                conditions.append(QStringLiteral("(%1) %2 (%3)")
                                      .arg(keys.join(QStringLiteral(", ")), after, placeholders(keys.size())));
                values += next.m_key;
                values.append(*next.m_rowid);
            }
        }
        orderBy.append(QStringLiteral("rowid") + direction);
        const qsizetype remaining = wanted - page.rows.size();
        values.append(remaining);

        auto rows = Statement::run(db,
                                   QStringLiteral("SELECT rowid, %1 FROM %2%3 ORDER BY %4 LIMIT ?")
                                       .arg(names.join(QStringLiteral(", ")), shape.table->name,
                                            conditions.isEmpty()
                                                ? QString()
                                                : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")),
                                            orderBy.join(QStringLiteral(", "))),
                                   values);
        if (!rows)
            return rows.problem();
        qsizetype got = 0;
        while (rows->next()) {
            ++got;
            QStringList row;
            row.reserve(names.size());
            for (int i = 1; i <= names.size(); ++i)
                row.append(rows->text(i));
            next.m_rowid = rows->value(0).toLongLong();
            next.m_key.clear();
            for (const qsizetype column : std::as_const(keyColumns))
                next.m_key.append(rows->value(static_cast<int>(column) + 1));
            page.rows.append(std::move(row));
            page.numbers.append(*next.m_rowid);
        }
        if (got < remaining) {
            ++next.m_part;
            next.m_rowid.reset();
            next.m_key.clear();
        }
    }
    return page;
}
