// SPDX-License-Identifier: GPL-2.0-or-later
#include "import/modimportscreen.h"

#include "import/logging.h"
#include "store/importundo.h"
#include "store/lookupindexes.h"
#include "store/observations.h"
#include "store/schema.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QThread>

#include <algorithm>

namespace import
{

namespace
{
// Another program waits a second for the database, trying again at least
// every 100 ms once it has waited a quarter of a second. A pause longer than
// that after each transaction, and transactions that hold the database short
// enough for a whole pause to fall within its second, let its recording in.
// Their commits grow with the indexes, for each rewrites the index pages its
// rows touched, so the work of a transaction is what the last commit leaves
// of the hold; more work per commit saves commits.
constexpr qint64 holdMs = 700;
constexpr qint64 leastWorkMs = 150;
constexpr qint64 pauseMs = 150;

QString grouped(qint64 number)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(number);
}

QString day(const QDateTime &utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd"));
}

// Only spaces count as blanks in a download, and a stray CR as a line end.
bool isBlank(QStringView line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' ' || c == u'\r'; });
}
}

QString modImportscreen::resultText(qint64 added, qint64 total)
{
    return QString::number(added) + QStringLiteral(" records added to your Observations database. Total now ")
        + QString::number(total) + QStringLiteral(" obs.");
}

outcome::Result<QList<store::PastImport>> modImportscreen::pastImports(const appfiles::Folder &appFolder)
{
    store::Database db(appFolder);
    return store::pastImports(db);
}

QString modImportscreen::importLine(const store::PastImport &past)
{
    using Ending = store::PastImport::Ending;
    QString ending;
    switch (past.ending) {
    case Ending::Completed: ending = QStringLiteral("complete"); break;
    case Ending::Stopped: ending = QStringLiteral("stopped at line %1").arg(grouped(past.stopLine)); break;
    case Ending::Cancelled: ending = QStringLiteral("cancelled"); break;
    case Ending::CutShort: ending = QStringLiteral("cut short"); break;
    }
    return QStringLiteral("%1  %2: %3 added, %4%5")
        .arg(past.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")), past.file.name,
             grouped(past.added), ending,
             past.undone ? QStringLiteral(" (undone %1)").arg(day(*past.undone)) : QString());
}

QString modImportscreen::undoQuestion(const store::PastImport &past)
{
    return QStringLiteral("Undo the import of \"%1\" of %2?\n\nIts %3 observations are removed from your Observations "
                          "database, and the AAVSO's observations only it noted from the ledger. Observations you "
                          "recorded or imported otherwise stay, even where they are equal.")
        .arg(past.file.name, past.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
             grouped(past.added));
}

outcome::Result<QString> modImportscreen::undoImport(const appfiles::Folder &appFolder, const store::PastImport &past)
{
    store::Database db(appFolder);
    const outcome::Result<store::ImportUndone> undone = store::ImportUndo(db, past.id).run();
    if (!undone) {
        outcome::Problem problem = undone.problem();
        return problem.title.isEmpty() ? problem.titled(QStringLiteral("Import not undone")) : problem;
    }
    QString text = QStringLiteral("The import of \"%1\" of %2 was undone: %3 observations removed from your "
                                  "Observations database, %4 from the ledger of what the AAVSO holds.")
                       .arg(past.file.name, day(past.started), grouped(undone->removed), grouped(undone->unnoted));
    if (!undone->left.isEmpty())
        text += QStringLiteral("\n\nCorrected since, these of its observations were left: %1.")
                    .arg(undone->left.join(QStringLiteral("; ")));
    qCInfo(lc).noquote() << text;
    return text;
}

modImportscreen::Import::Import(const QString &filePath, const appfiles::Folder &appFolder)
    : m_filePath(filePath)
    , m_appFolder(appFolder)
    , m_db(appFolder)
    , m_reader(filePath)
{
}

modImportscreen::Import::~Import()
{
    // Ending is the owner's (cancel() keeps what was added): released before
    // it ends, the engine drops the open transaction with the connection.
    if (m_inTransaction)
        qCWarning(lc).noquote() << QStringLiteral("The import of \"%1\" was released unfinished: the %2 rows of its "
                                                  "open transaction, from line %3 on, were not kept.")
                                       .arg(m_filePath)
                                       .arg(m_pending)
                                       .arg(m_transactionStart.lineNumber + 1);
}

modImportscreen::Import::Phase modImportscreen::Import::phase() const
{
    switch (m_step) {
    case Step::Asking: return Phase::Asking;
    case Step::Adding: return Phase::Adding;
    case Step::Done: return Phase::Done;
    default: return Phase::Checking;
    }
}

qint64 modImportscreen::Import::observations() const
{
    return m_observations;
}

qint64 modImportscreen::Import::duplicates() const
{
    return m_duplicates;
}

qint64 modImportscreen::Import::position() const
{
    return m_reader.position();
}

qint64 modImportscreen::Import::size() const
{
    return m_reader.size();
}

const outcome::Result<modImportscreen::Ended> &modImportscreen::Import::outcome() const
{
    return m_outcome;
}

void modImportscreen::Import::work(const QDeadlineTimer &deadline)
{
    // Each step does at least one piece of work, so an expired deadline still moves on.
    do {
        switch (m_step) {
        case Step::Open: open(); break;
        case Step::Encoding: checkEncoding(deadline); break;
        case Step::Loading: load(deadline); break;
        case Step::Counting: count(deadline); break;
        case Step::Adding: add(deadline); return;
        case Step::Asking:
        case Step::Done: return;
        }
    } while (!deadline.hasExpired());
}

std::chrono::milliseconds modImportscreen::Import::pause() const
{
    if (m_step != Step::Adding || m_inTransaction)
        return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(m_pauseEnd.remainingTime());
}

outcome::Result<modImportscreen::Ended> modImportscreen::Import::run(Duplicates choice)
{
    while (m_step != Step::Done) {
        if (m_step == Step::Asking)
            choose(choice);
        QThread::msleep(static_cast<unsigned long>(pause().count()));
        work(QDeadlineTimer(1000));
    }
    return m_outcome;
}

outcome::Result<modImportscreen::Import::Next> modImportscreen::Import::next(download::Observation *observation)
{
    QString line;
    const outcome::Result<download::Reader::Read> read = m_reader.next(&line);
    if (!read)
        return read.problem();
    switch (*read) {
    case download::Reader::Read::Line: {
        outcome::Result<download::Observation> parsed = download::parseLine(line);
        if (!parsed && m_stopLine == 0) {
            m_stopLine = m_reader.lineNumber();
            m_stopReason = parsed.problem().message;
        }
        if (!parsed && isBlank(line))
            return Next::Blank;
        // After a blank line, any line stops the import at the blank one.
        if (m_stopLine != 0)
            return Next::Stop;
        *observation = std::move(parsed).value();
        return Next::Observation;
    }
    case download::Reader::Read::TooLong:
        if (m_stopLine == 0) {
            m_stopLine = m_reader.lineNumber();
            m_stopReason = QStringLiteral("it is longer than %1 bytes").arg(download::Reader::longestLine);
        }
        return Next::Stop;
    case download::Reader::Read::End: break;
    }
    return Next::End;
}

void modImportscreen::Import::open()
{
    if (const outcome::Done opened = m_reader.open(); !opened)
        return fail(QStringLiteral("The file \"%1\" cannot be opened: %2. Nothing was added.")
                        .arg(QFileInfo(m_filePath).fileName(), opened.problem().message),
                    QStringLiteral("File not opened"));
    addLedger();
    if (const auto opened = m_db.open(); !opened)
        return fail(opened.problem().message + QStringLiteral(" Nothing was added."),
                    QStringLiteral("Database not opened"));
    const auto before = store::countObservations(m_db);
    if (!before)
        return fail(before.problem().message + QStringLiteral(" Nothing was added."),
                    QStringLiteral("Database not opened"));
    m_before = *before;
    m_step = Step::Encoding;
}

// What the program's start adds to a database of an earlier version, the
// ledger among it; a foreign one is left as it is.
void modImportscreen::Import::addLedger()
{
    switch (store::lookups(m_appFolder)) {
    case store::Lookups::Present: return;
    case store::Lookups::Foreign:
        m_noLedger = QStringLiteral("the database ") + store::foreignReason(m_appFolder);
        return;
    case store::Lookups::Missing: break;
    }
    if (const outcome::Done added = store::addLookups(m_appFolder); !added)
        m_noLedger = QStringLiteral("it could not be added to the database (%1)").arg(added.problem().message);
}

void modImportscreen::Import::checkEncoding(const QDeadlineTimer &deadline)
{
    const outcome::Result<bool> checked = m_reader.checkEncoding(deadline);
    if (!checked)
        return failReading(checked.problem());
    if (!*checked)
        return;
    if (m_before == 0)
        return startAdding();
    m_step = Step::Loading;
}

void modImportscreen::Import::load(const QDeadlineTimer &deadline)
{
    const outcome::Result<bool> loaded = m_known.load(m_db, deadline);
    if (!loaded)
        return fail(loaded.problem().message + QStringLiteral(" Nothing was added."),
                    QStringLiteral("Database not read"));
    if (!*loaded)
        return;
    if (const outcome::Done rewound = m_reader.rewind(); !rewound)
        return failReading(rewound.problem());
    m_step = Step::Counting;
}

void modImportscreen::Import::count(const QDeadlineTimer &deadline)
{
    download::Observation o;
    // The count ends at the first line that makes no row: nothing after it is added.
    do {
        const outcome::Result<Next> line = next(&o);
        if (!line)
            return failReading(line.problem());
        switch (*line) {
        case Next::Observation:
            ++m_observations;
            if (const auto key = store::observationKey(o.star, o.obsdate, o.magnitude); key && m_known.take(*key))
                ++m_duplicates;
            continue;
        case Next::Blank: continue;
        case Next::Stop:
        case Next::End: break;
        }
        if (m_duplicates > 0) {
            findEarlierImport();
            m_step = Step::Asking;
        } else {
            startAdding();
        }
        return;
    } while (!deadline.hasExpired());
}

void modImportscreen::Import::findEarlierImport()
{
    const QString sha256 = m_reader.sha256();
    const auto past = store::pastImports(m_db);
    if (!past || sha256.isEmpty())
        return;
    // Newest first: the last time this file came in.
    const auto earlier = std::find_if(past->cbegin(), past->cend(),
                                      [&sha256](const store::PastImport &p) { return p.file.sha256 == sha256; });
    if (earlier == past->cend())
        return;
    m_importedBefore =
        QStringLiteral("This file was imported on %1: %2 observations added%3.")
            .arg(day(earlier->started), grouped(earlier->added),
                 earlier->undone ? QStringLiteral(", undone on %1").arg(day(*earlier->undone)) : QString());
}

QString modImportscreen::Import::importedBefore() const
{
    return m_importedBefore;
}

void modImportscreen::Import::choose(Duplicates choice)
{
    if (m_step != Step::Asking)
        return;
    m_choice = choice;
    startAdding();
}

void modImportscreen::Import::startAdding()
{
    if (const outcome::Done rewound = m_reader.rewind(); !rewound)
        return failReading(rewound.problem());
    m_known.giveBack();
    m_stopLine = 0;
    using namespace store::column;
    auto insert =
        store::Appender::prepare(m_db, store::cumobs(), {star, obsdate, magnitude, obscode, notes, estimate, chart});
    auto ledger = insert ? store::LedgerRecorder::prepare(m_db)
                         : outcome::Result<std::unique_ptr<store::LedgerRecorder>>(insert.problem());
    // Without the ledger, the observations go in as they did before it.
    const bool noLedger = insert && !ledger && ledger.problem().kind == outcome::Kind::NotFound;
    const outcome::Done kept = ledger || noLedger ? m_db.keepChangesUntilCommit() : outcome::Done(ledger.problem());
    if (!kept)
        return fail(kept.problem().message + QStringLiteral(" Nothing was added."),
                    QStringLiteral("Database not written"));
    m_insert = std::move(*insert);
    m_ledgerless = noLedger;
    if (noLedger) {
        if (m_noLedger.isEmpty())
            m_noLedger = QStringLiteral("the database has none");
        qCWarning(lc).noquote() << QStringLiteral("The import of \"%1\" does not note what the AAVSO holds: %2.")
                                       .arg(m_filePath, m_noLedger);
    } else {
        m_ledger = std::move(*ledger);
    }
    auto record =
        store::ImportRecorder::prepare(m_db, QFileInfo(m_filePath).fileName(), m_reader.size(), m_ledger != nullptr);
    if (record)
        m_record = std::move(*record);
    else if (record.problem().kind != outcome::Kind::NotFound)
        return fail(record.problem().message + QStringLiteral(" Nothing was added."),
                    QStringLiteral("Database not read"));
    m_step = Step::Adding;
}

void modImportscreen::Import::add(const QDeadlineTimer &deadline)
{
    if (!m_inTransaction) {
        if (!m_pauseEnd.hasExpired())
            return;
        if (const outcome::Done begun = m_db.beginHeld(); !begun)
            return stop(
                QStringLiteral("The database cannot be written: %1\n\n%2").arg(begun.problem().message, addedBefore()));
        m_inTransaction = true;
        // The file's checksum waits for the pause after the transaction.
        m_reader.holdChecksum(true);
        m_pending = 0;
        m_transactionStart = m_reader.mark();
        m_transactionEnd.setRemainingTime(std::max(leastWorkMs, holdMs - m_commitMs), Qt::PreciseTimer);
    }

    download::Observation o;
    do {
        const outcome::Result<Next> line = next(&o);
        if (!line) {
            if (commitAdded(Ending::Stopped, m_reader.lineNumber()))
                stopReading(m_reader.lineNumber(), line.problem());
            return;
        }
        switch (*line) {
        case Next::Observation: {
            // Every line that makes a row has a key: its date and magnitude are numbers.
            const auto key = store::observationKey(o.star, o.obsdate, o.magnitude);
            const auto noted = key && m_ledger ? m_ledger->record(o.star, *key, o.fainterThan) : outcome::Result(false);
            if (!noted) {
                m_stopLine = m_reader.lineNumber();
                m_stopReason = noted.problem().message;
                break;
            }
            if (key && m_ledger && m_record)
                m_record->read(o.star, *key, o.fainterThan, *noted);
            if (m_choice == Duplicates::OnlyNew && key && m_known.take(*key))
                continue;
            if (const auto added =
                    m_insert->append({o.star, o.obsdate, o.magnitude, o.obscode, o.notes, o.estimate, o.chart});
                !added) {
                m_stopLine = m_reader.lineNumber();
                m_stopReason = added.problem().message;
                break;
            }
            if (m_record)
                m_record->added(m_insert->lastRow(),
                                {o.star, o.magnitude, o.estimate, o.obsdate, o.obscode, o.notes, o.chart});
            ++m_outcome->added;
            ++m_pending;
            continue;
        }
        case Next::Blank: continue;
        case Next::Stop: break;
        case Next::End:
            if (commitAdded(Ending::Completed))
                finish(Ended::Completed, QStringLiteral("Conversion Complete"), QStringLiteral("OK"));
            return;
        }
        if (commitAdded(Ending::Stopped, m_stopLine))
            stopAt();
        return;
    } while (!deadline.hasExpired() && !m_transactionEnd.hasExpired());
    if (m_transactionEnd.hasExpired())
        commitAdded();
}

bool modImportscreen::Import::commitAdded(Ending ending, qint64 stopLine)
{
    if (!m_inTransaction)
        return true;
    m_inTransaction = false;
    QElapsedTimer commitTime;
    commitTime.start();
    if (const auto sha256 = m_reader.sha256IfDone(); sha256 && m_record)
        m_record->setChecksum(*sha256);
    // Remembered before the coverage moves on: the record keeps the coverage before it.
    const outcome::Done kept = m_record ? m_record->keep(ending, stopLine) : outcome::Done();
    const outcome::Done covered = !kept ? kept : m_ledger ? m_ledger->cover() : outcome::Done();
    const outcome::Done committed = covered ? m_db.commit() : covered;
    m_commitMs = commitTime.elapsed();
    m_reader.holdChecksum(false);
    // From the end of the commit, which may take a while, on.
    m_pauseEnd.setRemainingTime(pauseMs, Qt::PreciseTimer);
    if (committed) {
        m_known.keepTaken();
        if (m_record)
            m_record->committed();
        return true;
    }
    if (m_record)
        m_record->takenBack();
    // None of the open transaction's rows are kept.
    const QString reason = committed.problem().message;
    // A rollback that fails is logged by the store; closing the handle takes the rows back then.
    static_cast<void>(m_db.rollback());
    m_outcome->added -= m_pending;
    stop(QStringLiteral("The database could not save the observations from line %1 on: %2\n\n%3")
             .arg(m_transactionStart.lineNumber + 1)
             .arg(reason, addedBefore()));
    return false;
}

void modImportscreen::Import::giveWay()
{
    if (!m_inTransaction)
        return;
    // Far quicker than a commit, so that the other writer hardly waits; the
    // lines are less than a second of work.
    if (const auto takenBack = m_db.rollback(); !takenBack) {
        qCInfo(lc).noquote() << QStringLiteral("The import of \"%1\" could not take back its open transaction "
                                               "for another writer (%2); it commits it instead.")
                                    .arg(m_filePath, takenBack.problem().message);
        commitAdded();
        return;
    }
    qCInfo(lc).noquote() << QStringLiteral("The import of \"%1\" took back its %2 rows from line %3 on for "
                                           "another writer, to add them again.")
                                .arg(m_filePath)
                                .arg(m_pending)
                                .arg(m_transactionStart.lineNumber + 1);
    m_inTransaction = false;
    m_reader.holdChecksum(false);
    m_pauseEnd.setRemainingTime(pauseMs, Qt::PreciseTimer);
    m_outcome->added -= m_pending;
    m_known.undoTaken();
    if (m_ledger)
        m_ledger->takenBack();
    if (m_record)
        m_record->takenBack();
    m_stopLine = 0;
    if (const outcome::Done returned = m_reader.returnTo(m_transactionStart); !returned)
        stopReading(m_transactionStart.lineNumber + 1, returned.problem());
}

void modImportscreen::Import::cancel()
{
    switch (m_step) {
    case Step::Done: return;
    case Step::Asking:
        // The observer's answer to the question says it all.
        m_step = Step::Done;
        m_outcome = Ended{Ended::Cancelled, 0, -1, {}, {}, std::nullopt};
        qCInfo(lc).noquote() << QStringLiteral("The import of \"%1\" was cancelled when asked about the "
                                               "observations there already. Nothing was added.")
                                    .arg(m_filePath);
        return;
    case Step::Adding:
        // What was added is committed, and kept.
        if (!commitAdded(Ending::Cancelled))
            return;
        return finish(Ended::Cancelled,
                      QStringLiteral("The import was cancelled before line %1 of \"%2\". %3")
                          .arg(m_reader.lineNumber() + 1)
                          .arg(QFileInfo(m_filePath).fileName(), addedBefore()),
                      QStringLiteral("Import cancelled"));
    default:
        return finish(Ended::Cancelled, QStringLiteral("The import was cancelled. Nothing was added."),
                      QStringLiteral("Import cancelled"));
    }
}

void modImportscreen::Import::finish(Ended::Kind kind, const QString &message, const QString &title)
{
    if (m_record) {
        const Ending ending = kind == Ended::Completed ? Ending::Completed
            : kind == Ended::Cancelled                 ? Ending::Cancelled
                                                       : Ending::Stopped;
        m_record->setChecksum(m_reader.sha256());
        // The rows are kept whatever the record says of the end.
        if (const outcome::Done ended = m_record->end(ending, m_stopLine); !ended)
            qCWarning(lc).noquote() << QStringLiteral("How the import of \"%1\" ended was not remembered: %2")
                                           .arg(m_filePath, ended.problem().message);
        m_record.reset();
    }
    m_insert.reset();
    m_ledger.reset();
    m_step = Step::Done;
    m_outcome->kind = kind;
    m_outcome->message = message.isEmpty() ? message : ending(message);
    m_outcome->title = title;
    m_outcome->total = store::countObservations(m_db).valueOr(-1);
    if (kind == Ended::Cancelled)
        qCInfo(lc).noquote() << QStringLiteral("%1: %2").arg(m_filePath, message);
}

void modImportscreen::Import::stop(const QString &message)
{
    finish(Ended::Stopped, {}, {});
    m_outcome->stop =
        outcome::failed(ending(message)).titled(QStringLiteral("Import stopped")).as(outcome::Severity::Warning);
}

void modImportscreen::Import::fail(const QString &message, const QString &title)
{
    m_insert.reset();
    m_ledger.reset();
    m_record.reset();
    m_step = Step::Done;
    m_outcome = outcome::failed(message).titled(title).as(outcome::Severity::Warning);
}

void modImportscreen::Import::failReading(const outcome::Problem &problem)
{
    fail(QStringLiteral("The file \"%1\" cannot be read: %2. Nothing was added.")
             .arg(QFileInfo(m_filePath).fileName(), problem.message),
         QStringLiteral("File not read"));
}

void modImportscreen::Import::stopReading(qint64 line, const outcome::Problem &problem)
{
    stop(QStringLiteral("The file \"%1\" cannot be read on from line %2: %3\n\n%4")
             .arg(QFileInfo(m_filePath).fileName())
             .arg(line)
             .arg(problem.message, addedBefore()));
}

void modImportscreen::Import::stopAt()
{
    stop(QStringLiteral("Line %1 of \"%2\" cannot be added: %3.\n\n%4")
             .arg(m_stopLine)
             .arg(QFileInfo(m_filePath).fileName(), m_stopReason, addedBefore()));
}

QString modImportscreen::Import::addedBefore() const
{
    if (m_outcome->added == 0)
        return QStringLiteral("Nothing was added.");
    if (m_outcome->added == 1)
        return QStringLiteral("1 record from the lines before it was added; nothing after it was added.");
    return QStringLiteral("%1 records from the lines before it were added; nothing after it was added.")
        .arg(m_outcome->added);
}

QString modImportscreen::Import::ending(const QString &text) const
{
    if (!m_ledgerless)
        return text;
    return text
        + QStringLiteral("\n\nWhat the AAVSO holds was not noted in the ledger: %1. The report check cannot tell "
                         "which lines of your reports the AAVSO lacks.")
              .arg(m_noLedger);
}

} // namespace import
