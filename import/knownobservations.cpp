// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/knownobservations.h"

#include "store/observations.h"

#include <algorithm>

namespace import
{

namespace
{
// Each slice is read by a statement of its own, so no read lasts beyond one
// call and other screens can write in between.
constexpr int sliceRows = 20000;
}

outcome::Result<bool> KnownObservations::load(store::Database &db, const QDeadlineTimer &deadline)
{
    bool done = false;
    do {
        auto slice = store::observationKeys(db, m_lastRow, sliceRows);
        if (!slice)
            return slice.problem();
        m_lastRow = slice->lastRow;
        for (const store::ObservationKey &key : std::as_const(slice->keys))
            m_stars[key.star].moments.push_back({key.jd, key.magnitude});
        if (slice->end) {
            for (Star &star : m_stars) {
                std::sort(star.moments.begin(), star.moments.end());
                star.moments.shrink_to_fit();
                star.taken.assign(star.moments.size(), 0);
            }
            done = true;
        }
    } while (!done && !deadline.hasExpired());
    return done;
}

bool KnownObservations::take(const store::ObservationKey &key)
{
    const auto star = m_stars.find(key.star);
    if (star == m_stars.end())
        return false;
    const auto [first, last] =
        std::equal_range(star->moments.cbegin(), star->moments.cend(), Moment{key.jd, key.magnitude});
    if (first == last)
        return false;
    quint32 &taken = star->taken[first - star->moments.cbegin()];
    if (static_cast<std::ptrdiff_t>(taken) == last - first)
        return false;
    ++taken;
    m_takenSince.push_back(&taken);
    return true;
}

void KnownObservations::giveBack()
{
    for (Star &star : m_stars)
        std::fill(star.taken.begin(), star.taken.end(), 0);
    m_takenSince.clear();
}

void KnownObservations::keepTaken()
{
    m_takenSince.clear();
}

void KnownObservations::undoTaken()
{
    for (quint32 *taken : m_takenSince)
        --*taken;
    m_takenSince.clear();
}

} // namespace import
