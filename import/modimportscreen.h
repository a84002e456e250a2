// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "import/downloadline.h"
#include "import/downloadreader.h"
#include "import/knownobservations.h"
#include "outcome/result.h"
#include "store/appender.h"
#include "store/database.h"
#include "store/heldtransaction.h"
#include "store/imports.h"
#include "store/ledger.h"

#include <QDeadlineTimer>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace import
{

namespace modImportscreen
{
// What to do with the file's observations that cumobs holds already.
enum class Duplicates {
    OnlyNew,
    All,
};

// How an import ended that read the file. One that read nothing, for the
// file or the database could not be opened or read, ends in a problem.
struct Ended
{
    enum Kind {
        Completed,
        // By the observer, at a line boundary.
        Cancelled,
        // At a line that makes no row, or where the file or the database
        // failed; the rows before it are kept.
        Stopped,
    };
    Kind kind = Completed;
    qint64 added = 0;
    // Rows in cumobs afterwards; -1 when not known.
    qint64 total = -1;
    // The box that tells the observer how it went: "OK" or "Import
    // cancelled"; none when the observer cancelled on being asked, or when
    // it stopped.
    QString message;
    QString title;
    // Why it stopped, for the box "Import stopped".
    std::optional<outcome::Problem> stop;
};

// The text of Label2 after an import.
QString resultText(qint64 added, qint64 total);

// The imports the database remembers, newest first; not found, worded for
// the screen, when it remembers none.
outcome::Result<QList<store::PastImport>> pastImports(const appfiles::Folder &appFolder);
// A past import as the screen lists it.
QString importLine(const store::PastImport &past);
// What the observer is asked before an import is undone.
QString undoQuestion(const store::PastImport &past);
// Undoes the import (store/importundo.h); the text of the box that tells
// what was taken back.
outcome::Result<QString> undoImport(const appfiles::Folder &appFolder, const store::PastImport &past);

// Appends the observations of a download file to cumobs, a piece of work at
// a time so that a screen stays responsive in between: it checks the file's
// encoding, counts the observations cumobs holds already (asking what to do
// when there are any), then adds the rows with one prepared statement in
// transactions of up to 0.7 s each, for every commit rewrites the index
// pages the rows touched. A transaction may stay open between calls of
// work(); any other write of this thread through store::Database takes it
// back first, its lines to be read again, and after each transaction the
// database is left to other programs for a pause. Every line is checked
// before it is added: at the first that makes no row the rows before it are
// committed and nothing after it is added; a row is added whole or not at
// all. Blank lines at the end are no lines. Every observation read while
// adding, added or there already, also goes into the ledger of what the
// AAVSO holds, in the same transactions: a stopped or cancelled import keeps
// what it read, and an import again adds nothing there. A database of an
// earlier version first gets the ledger, as the program's start gives it;
// one that still has none (a foreign one, a failed addition) gets the
// observations alone, and the box that ends the import says why.
class Import final
{
public:
    enum class Phase {
        // Checking the file's encoding and counting what is there already.
        Checking,
        // Observations of the file are in cumobs already: waiting for choose().
        Asking,
        Adding,
        Done,
    };

    Import(const QString &filePath, const appfiles::Folder &appFolder);
    ~Import();
    Q_DISABLE_COPY(Import)

    Phase phase() const;
    // Works on until the phase ends or the deadline passes; does nothing in a pause.
    void work(const QDeadlineTimer &deadline);
    // How long the pause after a transaction lasts on; zero when work() goes on at once.
    std::chrono::milliseconds pause() const;

    // The file's observations that can be added, and how many of them cumobs
    // holds already; known once asking.
    qint64 observations() const;
    qint64 duplicates() const;
    // When the database remembers an import of a file of the same SHA-256:
    // the sentence that names it, for the question; known once asking.
    QString importedBefore() const;
    void choose(Duplicates choice);

    // Stops between two lines, keeping what was added. An import not done
    // ends here, not in the destructor, which only lets go: the rows of a
    // transaction still open then are not kept.
    void cancel();

    // Bytes read of the file in the present pass, and the file's size.
    qint64 position() const;
    qint64 size() const;

    // Whole once done; the count of added rows grows while adding.
    const outcome::Result<Ended> &outcome() const;

    // Does the whole import, answering the question with the choice and
    // sleeping through the pauses.
    outcome::Result<Ended> run(Duplicates choice);

private:
    enum class Step {
        Open,
        Encoding,
        Loading,
        Counting,
        Asking,
        Adding,
        Done,
    };

    // The next line of the file, checked; what made it no row is kept for
    // stopAt(). The problem when the file cannot be read on.
    enum class Next {
        Observation,
        // Only spaces: the end of the file, unless a line follows.
        Blank,
        Stop,
        End,
    };
    outcome::Result<Next> next(download::Observation *observation);

    void open();
    void addLedger();
    void checkEncoding(const QDeadlineTimer &deadline);
    void load(const QDeadlineTimer &deadline);
    void count(const QDeadlineTimer &deadline);
    void findEarlierImport();
    void startAdding();
    void add(const QDeadlineTimer &deadline);
    using Ending = store::PastImport::Ending;
    // ending: how the import ends when this is its last transaction.
    bool commitAdded(Ending ending = Ending::CutShort, qint64 stopLine = 0);
    // Takes the open transaction back, to add its lines again after the pause.
    void giveWay();
    void finish(Ended::Kind kind, const QString &message, const QString &title);
    void stop(const QString &message);
    void fail(const QString &message, const QString &title);
    void failReading(const outcome::Problem &problem);
    void stopAt();
    void stopReading(qint64 line, const outcome::Problem &problem);
    QString addedBefore() const;
    // The text of the box that ends the import, with the note of the ledger not kept.
    QString ending(const QString &text) const;

    QString m_filePath;
    appfiles::Folder m_appFolder;
    store::Database m_db;
    download::Reader m_reader;
    KnownObservations m_known;
    std::unique_ptr<store::Appender> m_insert;
    std::unique_ptr<store::LedgerRecorder> m_ledger;
    // Without it the database does not remember imports.
    std::unique_ptr<store::ImportRecorder> m_record;
    QString m_importedBefore;
    // Why the database may have no ledger, found before adding.
    QString m_noLedger;
    // Adding without the ledger, for that reason.
    bool m_ledgerless = false;
    Step m_step = Step::Open;
    Duplicates m_choice = Duplicates::All;
    bool m_inTransaction = false;
    // Rows of the open transaction, and where in the file it began.
    qint64 m_pending = 0;
    download::Reader::Mark m_transactionStart;
    QDeadlineTimer m_transactionEnd;
    qint64 m_commitMs = 0;
    QDeadlineTimer m_pauseEnd;
    // The first line that makes no row, and why; 0 while there is none.
    qint64 m_stopLine = 0;
    QString m_stopReason;
    qint64 m_before = 0;
    qint64 m_observations = 0;
    qint64 m_duplicates = 0;
    outcome::Result<Ended> m_outcome = Ended();
    // Last, so that it goes before what ending the transaction uses.
    store::HeldTransaction m_held{[this] { giveWay(); }};
};
}

} // namespace import
