// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"
#include "store/observationkey.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

// The ledger: which observations the AAVSO holds, as the downloads imported
// since it began tell it, whether or not they were added to cumobs, and the
// newest date those downloads hold. An observation is its ObservationKey and
// whether it was fainter than the magnitude: cumobs keeps no fainter-than
// mark to trust (the observation screen stores the magnitude without its
// "<"), so the key that finds doubles there leaves it out, and the ledger,
// filled from downloads that always say it, keeps it beside the key.
namespace store
{
class Database;

// Adds a download's observations to the ledger through one prepared
// statement, within the transactions the caller holds on the handle
// (Database::beginHeld() and commit()), so that they are kept or taken back
// with the rows added to cumobs beside them.
class LedgerRecorder final
{
public:
    // Not found when the database has no ledger: one of an earlier version
    // that was not given it (a foreign one never is, lookupindexes.h).
    static outcome::Result<std::unique_ptr<LedgerRecorder>> prepare(Database &db);
    ~LedgerRecorder();
    Q_DISABLE_COPY(LedgerRecorder)

    // Adds the observation, its star as the download writes it, unless the
    // ledger holds it already: true when it was added.
    outcome::Result<bool> record(QStringView star, const ObservationKey &key, bool fainterThan);
    // Takes the observation out again, as the undo of an import does: true
    // when the ledger held it.
    outcome::Result<bool> forget(QStringView star, const ObservationKey &key, bool fainterThan);
    // Notes that a download was imported and the newest date recorded since
    // the last call; a later date than the ledger's only ever moves it on.
    outcome::Done cover();
    // The records since the last cover() were taken back with their transaction.
    void takenBack();

private:
    explicit LedgerRecorder(Database &db);

    // The engine's own handles, kept out of the header.
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    Database &m_db;
    std::optional<qint64> m_newest;
};

// The ledger as read whole, for matching reports against it.
struct Ledger
{
    // One observation the AAVSO holds.
    struct Held
    {
        // Ten-thousandths of a day.
        qint64 jd = 0;
        double magnitude = 0;
        bool fainterThan = false;
        // Its star in `stars`.
        qsizetype star = 0;
    };

    // A download was imported since the ledger began.
    bool begun = false;
    // The newest date the downloads hold, in ten-thousandths of a day;
    // nothing while none held an observation.
    std::optional<qint64> newest;
    // Each star as the downloads write it, once.
    QStringList stars;
    // By date, magnitude and fainter-than.
    std::vector<Held> held;
};

// Reads the ledger of the program folder's database, opened only for
// reading: the file is never created or changed. Not found when there is no
// database or it has no ledger, yet or ever (a foreign one); failed, worded
// for the observer, when it cannot be read.
outcome::Result<Ledger> readLedger(const appfiles::Folder &appFolder);

// The stars, as the downloads write them, of the held observations of this
// key's date and magnitude and this fainter-than mark: a question about one
// line, without reading the ledger whole.
outcome::Result<QStringList> heldStars(Database &db, const ObservationKey &key, bool fainterThan);
}
