// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "outcome/result.h"
#include "store/importparts.h"
#include "store/observationkey.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <memory>
#include <optional>

// The record of imports: every import of a download, the file it read, how
// it ended, and for each of its transactions the rows it added (a range of
// engine numbers with their checksum) and the ledger's keys it read, so that
// it can be undone exactly (importundo.h). A database of an earlier version
// gets the record at start-up; a foreign one never.
namespace store
{
class Database;

struct ImportedFile
{
    // The file's name, without its folder.
    QString name;
    qint64 size = 0;
    // In hexadecimal; empty when the import ended before it was worked out,
    // or the file could not be read to its end.
    QString sha256;
};

struct PastImport
{
    enum class Ending {
        // Its program stopped while it was adding; its transactions before are kept.
        CutShort,
        Completed,
        // At a line that made no row, or where the file or the database failed.
        Stopped,
        Cancelled,
    };

    qint64 id = 0;
    ImportedFile file;
    // In UTC; ended is its last transaction's.
    QDateTime started;
    QDateTime ended;
    Ending ending = Ending::CutShort;
    // The line it stopped at; 0 when none.
    qint64 stopLine = 0;
    qint64 added = 0;
    // When it was undone, in UTC.
    std::optional<QDateTime> undone;
};

// Newest first. Not found when the database does not remember imports.
outcome::Result<QList<PastImport>> pastImports(Database &db);

// Remembers an import in the transactions that add its rows, so that the
// record holds exactly what was committed: the import's row is written with
// its first transaction and brought up to date with each one after.
class ImportRecorder final
{
public:
    // Not found when the database does not remember imports. notesLedger:
    // the import notes what it reads in the ledger.
    static outcome::Result<std::unique_ptr<ImportRecorder>> prepare(Database &db, const QString &fileName, qint64 size,
                                                                    bool notesLedger);
    Q_DISABLE_COPY(ImportRecorder)

    // The file's SHA-256, once worked out: written with the next transaction
    // or the end.
    void setChecksum(const QString &sha256);
    // A key of the ledger read; noted: the ledger lacked it, and has it now.
    void read(const QString &star, const ObservationKey &key, bool fainterThan, bool noted);
    // The row just added: its engine number and its seven texts in table order.
    void added(qint64 row, std::initializer_list<QStringView> values);
    // Within the open transaction, before the ledger's coverage moves on:
    // the import as it stands, ending so when this is its last transaction,
    // and the transaction's part.
    outcome::Done keep(PastImport::Ending ending, qint64 stopLine);
    void committed();
    // The open transaction was taken back, and what it read and added with it.
    void takenBack();
    // After its transactions: how it ended and the file's SHA-256, written
    // when its last one did not hold them.
    outcome::Done end(PastImport::Ending ending, qint64 stopLine);

private:
    ImportRecorder(Database &db, const ImportedFile &file, bool notesLedger, bool changes);
    outcome::Done insertRecord(const QString &now, PastImport::Ending ending, qint64 stopLine);

    Database &m_db;
    ImportedFile m_file;
    QString m_started;
    bool m_notesLedger = false;
    // The record of changes is there, whose newest id each part notes.
    bool m_changes = false;
    // The import's row, once committed, and as the last commit left it.
    std::optional<qint64> m_id;
    qint64 m_added = 0;
    std::optional<qint64> m_newest;
    PastImport::Ending m_kept = PastImport::Ending::CutShort;
    QString m_keptChecksum;

    // The open transaction's part.
    std::optional<qint64> m_pendingId;
    PastImport::Ending m_pendingEnding = PastImport::Ending::CutShort;
    QString m_pendingChecksum;
    std::optional<qint64> m_firstRow;
    qint64 m_lastRow = 0;
    qint64 m_rows = 0;
    RowChecksum m_checksum;
    KeyPacker m_keys;
    std::optional<qint64> m_partNewest;
};
}
