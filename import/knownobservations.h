// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "observationkey.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <vector>

// The observations cumobs holds, by their key alone, for telling which of a
// file's observations are there already. A million rows take some 24 MB.
class KnownObservations final
{
public:
    // Room for the rows cumobs holds, so that loading never copies them.
    void reserve(qint64 rows);
    // Reads the rows of cumobs a slice at a time until the deadline; true
    // once all are read. Rows whose date or magnitude is not a number have
    // no key and match nothing. False with error() when the engine fails.
    bool load(const QSqlDatabase &db, const QDeadlineTimer &deadline, bool *done);
    QString error() const;

    bool contains(const store::ObservationKey &key) const;

private:
    struct Entry
    {
        quint32 star;
        double jd;
        double magnitude;

        auto operator<=>(const Entry &) const = default;
    };

    QHash<QString, quint32> m_stars;
    std::vector<Entry> m_entries;
    qint64 m_lastRow = 0;
    QString m_error;
};
