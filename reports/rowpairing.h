// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/observations.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace store
{
class Database;
}

namespace reports
{
// The data lines of a report paired with their cumobs rows as recording
// writes them: the same star (letter case ignored, as the database compares
// names), date text and magnitude (a fainter-than line's "<" passed over).
// A row pairs one line only, so two equal lines need two rows.
class RowPairing final
{
public:
    // The rows of the lines' date texts, read at once.
    static outcome::Result<RowPairing> read(store::Database &db, const QStringList &dates);

    // The row of the line's fields, taken; nothing when none is left for it.
    std::optional<store::KeyTexts> take(const QString &star, const QString &date, const QString &magnitude);

private:
    QHash<QString, QList<store::KeyTexts>> m_rows;
};
}
