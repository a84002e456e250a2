// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/database.h"
#include "store/observationkey.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QString>

#include <vector>

namespace import
{

// The observations cumobs holds, by their key alone, for telling which of a
// file's observations are there already: per star, its dates and magnitudes
// in order. Each row matches one observation of the file, so that two equal
// lines of a file against one row are one there already and one new. A
// million rows take some 20 MB.
class KnownObservations final
{
public:
    // Reads the rows of cumobs a slice at a time until the deadline; true
    // once all are read. Rows whose date or magnitude is not a number have
    // no key and match nothing. Failed, in the engine's words, when it fails.
    outcome::Result<bool> load(store::Database &db, const QDeadlineTimer &deadline);

    // True, and the row no longer matches, when a row with the key is left.
    bool take(const store::ObservationKey &key);
    // Every row matches again.
    void giveBack();
    // The rows taken since the last call stay taken.
    void keepTaken();
    // The rows taken since keepTaken() match again.
    void undoTaken();

private:
    struct Moment
    {
        double jd;
        double magnitude;

        auto operator<=>(const Moment &) const = default;
    };

    struct Star
    {
        // Equal moments next to each other.
        std::vector<Moment> moments;
        // The rows taken of each run of equal moments, at the run's first.
        std::vector<quint32> taken;
    };

    QHash<QString, Star> m_stars;
    // The counts raised since keepTaken(); their vectors never grow once loaded.
    std::vector<quint32 *> m_takenSince;
    qint64 m_lastRow = 0;
};

} // namespace import
