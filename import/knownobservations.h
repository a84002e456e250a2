// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "observationkey.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <vector>

// The observations cumobs holds, by their key alone, for telling which of a
// file's observations are there already: per star, its dates and magnitudes
// in order. A million rows take some 16 MB.
class KnownObservations final
{
public:
    // Reads the rows of cumobs a slice at a time until the deadline; true
    // once all are read. Rows whose date or magnitude is not a number have
    // no key and match nothing. False with error() when the engine fails.
    bool load(const QSqlDatabase &db, const QDeadlineTimer &deadline, bool *done);
    QString error() const;

    bool contains(const store::ObservationKey &key) const;

private:
    struct Moment
    {
        double jd;
        double magnitude;

        auto operator<=>(const Moment &) const = default;
    };

    QHash<QString, std::vector<Moment>> m_stars;
    qint64 m_lastRow = 0;
    QString m_error;
};
