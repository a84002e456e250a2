// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace store
{
class Database;

// What an undo of an import took back.
struct ImportUndone
{
    // Rows removed from cumobs.
    qint64 removed = 0;
    // Observations removed from the ledger: those no other import remembered
    // read, and that the ledger did not hold before the record began.
    qint64 unnoted = 0;
    // The import's rows corrected since, left in cumobs: star, date and magnitude.
    QStringList left;
    // Its entry in the record of changes; nothing where there is none.
    std::optional<qint64> change;
};

// Takes an import back in one transaction, both or neither: exactly the
// rows it added (never one recorded or imported otherwise, however equal),
// the ledger's observations only it noted, and the ledger's coverage back
// to what the other imports give. First it checks that the rows are still
// the ones it added, by their numbers and checksums: after a change outside
// the program (a row removed or changed, the database compacted) nothing
// is removed and the problem says why. Rows corrected or withdrawn since
// through the record of changes are left as they are. The undo is written
// into the record of changes, when the database has it, and can be taken
// back there (restoreImport).
class ImportUndo final
{
public:
    enum class Step {
        Start,
        // The transaction begun and every row of the import checked.
        Checked,
        RowsRemoved,
        // The ledger's observations only it noted removed.
        LedgerTaken,
        // The import marked undone, the coverage set back, the undo recorded.
        Recorded,
        Done,
    };

    ImportUndo(Database &db, qint64 import);
    ~ImportUndo();
    Q_DISABLE_COPY(ImportUndo)

    // Takes the next step; a failure takes every step back.
    outcome::Done next();
    // Every step, waiting a second at most for the database.
    outcome::Result<ImportUndone> run();
    Step step() const;

private:
    outcome::Done check();
    outcome::Done removeRows();
    outcome::Done takeLedger();
    outcome::Done record();

    struct State;
    std::unique_ptr<State> m;
};

// Takes back the undo the record of changes holds as that change, in one
// transaction, both or neither: the rows it removed are added again (with
// new numbers, as new rows always get), the ledger holds again what the
// import read, and its coverage is set as the imports not undone give it;
// the record of changes gets an import restored that undoes that change,
// and the import can be undone again. Not found when that change is no undo
// of an import, or was taken back already.
outcome::Done takeBackImportUndo(Database &db, qint64 change);
}
