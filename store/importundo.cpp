// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/importundo.h"

#include "store/appender.h"
#include "store/changes.h"
#include "store/database.h"
#include "store/importparts.h"
#include "store/ledger.h"
#include "store/observations.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>

#include <algorithm>

namespace
{
using store::Change;
using store::Database;
using store::ObservationKey;
using store::ObservationRow;
using store::ReadKey;
using store::RowChecksum;
using store::Statement;

// The rows one committed transaction of the import added.
struct ImportPart
{
    qint64 first = 0;
    qint64 last = 0;
    qint64 checksum = 0;
    // The record of changes' newest entry when it committed: later ones may concern its rows.
    qint64 changesBefore = 0;
};

// An observation of the ledger as its key compares it: the star without
// the letter case of its ASCII letters.
struct LedgerKey
{
    QString star;
    qint64 jd = 0;
    double magnitude = 0;
    bool fainterThan = false;

    friend bool operator==(const LedgerKey &, const LedgerKey &) = default;
};

size_t qHash(const LedgerKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.star, key.jd, key.magnitude, key.fainterThan);
}

LedgerKey ledgerKey(const ReadKey &read)
{
    QString star = read.star;
    for (QChar &c : star) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return {star, read.jd, read.magnitude, read.fainterThan};
}

// A key the undone import read, and whether it may go.
struct Candidate
{
    ReadKey read;
    // An import remembered added it to the ledger: it came after the record began.
    bool noted = false;
    // An import not undone read it.
    bool kept = false;
};

ObservationKey observationKeyOf(const ReadKey &read)
{
    return {QString(), static_cast<double>(read.jd), read.magnitude};
}

ObservationRow observationRowAt(const Statement &row, int first)
{
    return {row.text(first),     row.text(first + 1), row.text(first + 2), row.text(first + 3),
            row.text(first + 4), row.text(first + 5), row.text(first + 6)};
}

QString described(const ObservationRow &row)
{
    return QStringLiteral("%1 %2 %3").arg(row.star, row.obsdate, row.magnitude);
}

void addRow(RowChecksum &sum, qint64 number, const ObservationRow &r)
{
    sum.add(number, {r.star, r.magnitude, r.estimate, r.obsdate, r.obscode, r.notes, r.chart});
}

QByteArray packRows(const QList<ObservationRow> &rows)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    for (const ObservationRow &r : rows)
        out << r.star << r.magnitude << r.estimate << r.obsdate << r.obscode << r.notes << r.chart;
    return qCompress(bytes, 1);
}

std::optional<QList<ObservationRow>> unpackRows(const QByteArray &packed)
{
    const QByteArray bytes = qUncompress(packed);
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    QList<ObservationRow> rows;
    while (!in.atEnd() && in.status() == QDataStream::Ok) {
        ObservationRow r;
        in >> r.star >> r.magnitude >> r.estimate >> r.obsdate >> r.obscode >> r.notes >> r.chart;
        rows.append(r);
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return rows;
}

// The packed keys of the import's parts, or of every other import's with
// whether that one was undone.
outcome::Done eachPartKeys(Database &db, qint64 import, bool others,
                           const std::function<void(const ReadKey &, bool undone)> &take)
{
    using namespace store::column;
    const QString sql = others ? QStringLiteral("SELECT p.%1, i.%2 FROM %3 p JOIN %4 i ON i.%5 = p.%6 "
                                                "WHERE p.%6 <> ? AND p.%1 IS NOT NULL")
                                     .arg(keys, undone, store::importPartsTable, store::importsTable, id, importId)
                               : QStringLiteral("SELECT %1, NULL FROM %2 WHERE %3 = ? AND %1 IS NOT NULL")
                                     .arg(keys, store::importPartsTable, importId);
    bool readable = true;
    const outcome::Done read = store::eachRow(db, sql, {import}, [&](const Statement &row) {
        const bool wasUndone = !row.value(1).isNull();
        readable = store::unpackKeys(row.value(0).toByteArray(), [&](const ReadKey &key) { take(key, wasUndone); })
            && readable;
    });
    if (!read)
        return read;
    if (!readable)
        return outcome::failed(QStringLiteral("The record of the import's observations cannot be read."));
    return {};
}

outcome::Done forEachOwnKey(Database &db, qint64 import, const std::function<void(const ReadKey &)> &take)
{
    return eachPartKeys(db, import, false, [&take](const ReadKey &key, bool) { take(key); });
}

outcome::Problem cannotTellApart(const QString &why)
{
    return outcome::refused(QStringLiteral("The observations this import added can no longer be told apart from the "
                                           "others: %1. Nothing was removed.")
                                .arg(why))
        .titled(QStringLiteral("Import not undone"))
        .as(outcome::Severity::Warning);
}
}

struct store::ImportUndo::State
{
    State(Database &database, qint64 id)
        : db(database)
        , import(id)
    {
    }

    Database &db;
    qint64 import;
    Step step = Step::Start;
    bool inTransaction = false;
    QString file;
    QString started;
    // The ranges of rows to remove, with the rows they hold, for taking the undo back.
    QList<std::pair<qint64, qint64>> ranges;
    QList<ObservationRow> removed;
    ImportUndone undone;
};

store::ImportUndo::ImportUndo(Database &db, qint64 import)
    : m(std::make_unique<State>(db, import))
{
}

store::ImportUndo::~ImportUndo()
{
    // Released before its last step: nothing of it is kept.
    if (m->inTransaction)
        static_cast<void>(m->db.rollback());
}

store::ImportUndo::Step store::ImportUndo::step() const
{
    return m->step;
}

outcome::Done store::ImportUndo::next()
{
    outcome::Done done;
    switch (m->step) {
    case Step::Start: done = check(); break;
    case Step::Checked: done = removeRows(); break;
    case Step::RowsRemoved: done = takeLedger(); break;
    case Step::LedgerTaken: done = record(); break;
    case Step::Recorded:
        done = m->db.commit();
        m->inTransaction = !done;
        break;
    case Step::Done: return {};
    }
    if (!done) {
        if (m->inTransaction)
            static_cast<void>(m->db.rollback());
        m->inTransaction = false;
        m->step = Step::Done;
        return done;
    }
    m->step = static_cast<Step>(static_cast<int>(m->step) + 1);
    return {};
}

outcome::Result<store::ImportUndone> store::ImportUndo::run()
{
    while (m->step != Step::Done) {
        if (outcome::Done done = next(); !done)
            return done.problem();
    }
    return m->undone;
}

outcome::Done store::ImportUndo::check()
{
    using namespace column;
    if (outcome::Done begun = m->db.begin(std::chrono::milliseconds(Database::busyTimeoutMs)); !begun)
        return begun;
    m->inTransaction = true;
    if (outcome::Done kept = m->db.keepChangesUntilCommit(); !kept)
        return kept;
    auto record = Statement::run(m->db,
                                 QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 WHERE %6 = ?")
                                     .arg(file, started, undone, schemaVersion, importsTable, id),
                                 {m->import});
    if (!record)
        return record.problem();
    if (!record->next())
        return outcome::notFound(QStringLiteral("The database does not remember this import."));
    if (!record->value(2).isNull())
        return outcome::refused(QStringLiteral("This import was undone already."));
    m->file = record->text(0);
    m->started = record->text(1);
    const auto schema = schemaCookie(m->db);
    if (!schema)
        return schema.problem();
    // A VACUUM may renumber rows, and leaves only this count to tell it.
    if (*schema != record->value(3).toLongLong())
        return cannotTellApart(QStringLiteral("the database was compacted (VACUUM) or its structure was changed "
                                              "outside varlume since, which may have renumbered them"));

    const auto parts =
        rowsOf(m->db,
               QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 WHERE %6 = ? AND %1 IS NOT NULL ORDER BY %1")
                   .arg(firstRow, lastRow, checksum, changesBefore, importPartsTable, importId),
               {m->import}, [](const Statement &row) {
                   return ImportPart{row.value(0).toLongLong(), row.value(1).toLongLong(), row.value(2).toLongLong(),
                                     row.value(3).toLongLong()};
               });
    if (!parts)
        return parts.problem();
    // What the record of changes did to the rows since the first part.
    QHash<qint64, QList<Change>> changed;
    const auto changesKept = hasTable(m->db, changesTable);
    if (!changesKept)
        return changesKept.problem();
    if (*changesKept && !parts->isEmpty()) {
        const auto since = changesOfRowsAfter(
            m->db, std::min_element(parts->cbegin(), parts->cend(), [](const ImportPart &a, const ImportPart &b) {
                       return a.changesBefore < b.changesBefore;
                   })->changesBefore);
        if (!since)
            return since.problem();
        for (const Change &c : *since)
            changed[*c.row].append(c);
    }
    for (const ImportPart &part : *parts) {
        QList<std::pair<qint64, ObservationRow>> rows;
        if (outcome::Done read =
                eachRow(m->db,
                        QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid BETWEEN ? AND ? ORDER BY rowid")
                            .arg(columnList(cumobs()), cumobs().name),
                        {part.first, part.last},
                        [&rows](const Statement &row) {
                            rows.append({row.value(0).toLongLong(), observationRowAt(row, 1)});
                        });
            !read)
            return read;
        RowChecksum sum;
        qsizetype next = 0;
        qint64 from = part.first;
        for (qint64 number = part.first; number <= part.last; ++number) {
            const ObservationRow *current =
                next < rows.size() && rows.at(next).first == number ? &rows.at(next++).second : nullptr;
            // The first change since the part committed holds the row as the import added it.
            const Change *since = nullptr;
            if (const auto history = changed.constFind(number); history != changed.cend()) {
                const auto found = std::find_if(history->cbegin(), history->cend(),
                                                [&part](const Change &c) { return c.id > part.changesBefore; });
                since = found == history->cend() ? nullptr : &*found;
            }
            if (since) {
                if (!since->oldRow)
                    return cannotTellApart(QStringLiteral("observation number %1 was replaced").arg(number));
                addRow(sum, number, *since->oldRow);
                if (current)
                    m->undone.left.append(described(*current));
                if (from < number)
                    m->ranges.append({from, number - 1});
                from = number + 1;
                continue;
            }
            if (!current)
                return cannotTellApart(QStringLiteral("observation number %1 was removed outside varlume").arg(number));
            addRow(sum, number, *current);
            m->removed.append(*current);
        }
        if (from <= part.last)
            m->ranges.append({from, part.last});
        if (sum.value() != part.checksum)
            return cannotTellApart(QStringLiteral("its observations numbered %1 to %2 were changed or renumbered "
                                                  "outside varlume")
                                       .arg(part.first)
                                       .arg(part.last));
    }
    return {};
}

outcome::Done store::ImportUndo::removeRows()
{
    for (const auto &[first, last] : std::as_const(m->ranges)) {
        if (outcome::Done removed = Statement::write(
                m->db, QStringLiteral("DELETE FROM %1 WHERE rowid BETWEEN ? AND ?").arg(cumobs().name), {first, last});
            !removed)
            return removed;
    }
    m->undone.removed = m->removed.size();
    return {};
}

outcome::Done store::ImportUndo::takeLedger()
{
    auto ledger = LedgerRecorder::prepare(m->db);
    if (!ledger)
        return ledger.problem().kind == outcome::Kind::NotFound ? outcome::Done() : outcome::Done(ledger.problem());
    QHash<LedgerKey, Candidate> candidates;
    if (outcome::Done own = forEachOwnKey(m->db, m->import,
                                          [&candidates](const ReadKey &key) {
                                              Candidate &c = candidates[ledgerKey(key)];
                                              c.read = key;
                                              c.noted = c.noted || key.noted;
                                          });
        !own)
        return own;
    if (outcome::Done others = eachPartKeys(m->db, m->import, true,
                                            [&candidates](const ReadKey &key, bool undone) {
                                                const auto c = candidates.find(ledgerKey(key));
                                                if (c == candidates.end())
                                                    return;
                                                c->noted = c->noted || key.noted;
                                                c->kept = c->kept || !undone;
                                            });
        !others)
        return others;
    for (const Candidate &c : std::as_const(candidates)) {
        if (!c.noted || c.kept)
            continue;
        const outcome::Result<bool> forgotten =
            (*ledger)->forget(c.read.star, observationKeyOf(c.read), c.read.fainterThan);
        if (!forgotten)
            return forgotten.problem();
        m->undone.unnoted += *forgotten ? 1 : 0;
    }
    return {};
}

outcome::Done store::ImportUndo::record()
{
    using namespace column;
    const QString now = utcNow();
    if (outcome::Done marked = Statement::write(
            m->db, QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(importsTable, undone, id), {now, m->import});
        !marked)
        return marked;
    if (outcome::Done covered = coverRemaining(m->db); !covered)
        return covered;
    const auto changesKept = hasTable(m->db, changesTable);
    if (!changesKept)
        return changesKept.problem();
    if (*changesKept) {
        Change change;
        change.at = now;
        change.kind = Change::Kind::ImportUndone;
        change.report = m->file;
        change.oldLine = QStringLiteral("The import of \"%1\" begun %2: %3 rows removed, %4 observations taken out "
                                        "of the ledger")
                             .arg(m->file, m->started)
                             .arg(m->undone.removed)
                             .arg(m->undone.unnoted);
        change.copies = 0;
        change.pending = false;
        if (outcome::Done written = applyChange(m->db, change); !written)
            return written;
        m->undone.change = change.id;
    }
    return Statement::write(m->db,
                            QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5) VALUES (?, ?, ?, ?)")
                                .arg(importUndosTable, importId, change, at, removedRows),
                            {m->import,
                             m->undone.change ? QVariant(*m->undone.change) : QVariant(QMetaType::fromType<qint64>()),
                             now, packRows(m->removed)});
}

namespace store
{
namespace
{
// Within the caller's transaction: the import of the undo that change
// recorded, as it was before the undo; its file's name.
outcome::Result<QString> restoreImport(Database &db, qint64 change)
{
    using namespace column;
    qint64 undoId = 0;
    qint64 import = 0;
    QByteArray packed;
    QString fileName;
    if (auto undo = Statement::run(
            db,
            QStringLiteral("SELECT u.%1, u.%2, u.%3, i.%9 FROM %4 u JOIN %5 i ON i.%1 = u.%2 "
                           "WHERE u.%6 = ? AND u.%7 IS NULL AND i.%8 IS NOT NULL")
                .arg(id, importId, removedRows, importUndosTable, importsTable, column::change, restored, undone, file),
            {change});
        !undo) {
        return undo.problem();
    } else if (undo->next()) {
        undoId = undo->value(0).toLongLong();
        import = undo->value(1).toLongLong();
        packed = undo->value(2).toByteArray();
        fileName = undo->text(3);
    } else {
        return outcome::notFound(QStringLiteral("This change is no undo of an import, or it was taken back already."));
    }
    const auto rows = unpackRows(packed);
    if (!rows)
        return outcome::failed(QStringLiteral("The rows the undo removed cannot be read back."));

    // Added again as new rows are: in one range at the end, which the import's
    // record then holds instead of its old ones.
    auto appender = Appender::prepare(db, cumobs(), cumobs().columnNames());
    if (!appender)
        return appender.problem();
    RowChecksum sum;
    std::optional<qint64> first;
    for (const ObservationRow &r : *rows) {
        if (outcome::Done added =
                (*appender)->append({r.star, r.magnitude, r.estimate, r.obsdate, r.obscode, r.notes, r.chart});
            !added)
            return added.problem();
        first = first.value_or((*appender)->lastRow());
        addRow(sum, (*appender)->lastRow(), r);
    }
    if (outcome::Done cleared =
            Statement::write(db,
                             QStringLiteral("UPDATE %1 SET %2 = NULL, %3 = NULL, %4 = NULL WHERE %5 = ?")
                                 .arg(importPartsTable, firstRow, lastRow, checksum, importId),
                             {import});
        !cleared)
        return cleared.problem();
    const auto changesNow = countOf(db, QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(id, changesTable));
    if (!changesNow)
        return changesNow.problem();
    if (first) {
        if (outcome::Done part =
                Statement::write(db,
                                 QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (?, ?, ?, ?, ?)")
                                     .arg(importPartsTable, importId, firstRow, lastRow, checksum, changesBefore),
                                 {import, *first, (*appender)->lastRow(), sum.value(), *changesNow});
            !part)
            return part.problem();
    }
    auto ledger = LedgerRecorder::prepare(db);
    if (!ledger && ledger.problem().kind != outcome::Kind::NotFound)
        return ledger.problem();
    // Whatever the import read the ledger holds again, whether this undo or a later one took it out.
    std::optional<outcome::Problem> refused;
    if (ledger) {
        if (outcome::Done read = forEachOwnKey(
                db, import,
                [&](const ReadKey &key) {
                    if (refused)
                        return;
                    if (const auto added = (*ledger)->record(key.star, observationKeyOf(key), key.fainterThan); !added)
                        refused = added.problem();
                });
            !read)
            return read.problem();
    }
    if (refused)
        return *refused;
    const auto schema = schemaCookie(db);
    if (!schema)
        return schema.problem();
    if (outcome::Done marked = Statement::write(
            db,
            QStringLiteral("UPDATE %1 SET %2 = NULL, %3 = ? WHERE %4 = ?").arg(importsTable, undone, schemaVersion, id),
            {*schema, import});
        !marked)
        return marked.problem();
    if (outcome::Done marked = Statement::write(
            db, QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(importUndosTable, restored, id),
            {utcNow(), undoId});
        !marked)
        return marked.problem();
    if (outcome::Done covered = coverRemaining(db); !covered)
        return covered.problem();
    return fileName;
}
}
}

outcome::Done store::takeBackImportUndo(Database &db, qint64 change)
{
    if (outcome::Done begun = db.begin(std::chrono::milliseconds(Database::busyTimeoutMs)); !begun)
        return begun;
    outcome::Done done = db.keepChangesUntilCommit();
    const auto file = done ? restoreImport(db, change) : outcome::Result<QString>(done.problem());
    if (!file) {
        done = file.problem();
    } else {
        Change restored;
        restored.at = utcNow();
        restored.kind = Change::Kind::ImportRestored;
        restored.report = *file;
        restored.oldLine = QStringLiteral("The import of \"%1\" undone by change %2, restored").arg(*file).arg(change);
        restored.copies = 0;
        restored.pending = false;
        restored.undoes = change;
        done = applyChange(db, restored);
    }
    if (done)
        done = db.commit();
    if (!done)
        static_cast<void>(db.rollback());
    return done;
}
