// SPDX-License-Identifier: GPL-2.0-or-later
#include "reports/rowpairing.h"

#include "store/database.h"

namespace reports
{

namespace
{
QString keyOf(const QString &star, const QString &date, const QString &magnitude)
{
    return star.toLower() + u'|' + date + u'|' + magnitude;
}
}

outcome::Result<RowPairing> RowPairing::read(store::Database &db, const QStringList &dates)
{
    QStringList distinct = dates;
    distinct.removeDuplicates();
    const auto rows = store::observationsOnDates(db, distinct);
    if (!rows)
        return rows.problem();
    RowPairing pairing;
    for (const store::KeyTexts &row : *rows)
        pairing.m_rows[keyOf(row.star, row.obsdate, row.magnitude)].append(row);
    return pairing;
}

std::optional<store::KeyTexts> RowPairing::take(const QString &star, const QString &date, const QString &magnitude)
{
    const auto found = m_rows.find(keyOf(star, date, magnitude.startsWith(u'<') ? magnitude.mid(1) : magnitude));
    if (found == m_rows.end() || found->isEmpty())
        return std::nullopt;
    return found->takeFirst();
}
}
