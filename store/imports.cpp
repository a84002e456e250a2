// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/imports.h"

#include "store/schema.h"
#include "store/statement.h"

#include <algorithm>

namespace
{
using store::PastImport;

constexpr std::pair<PastImport::Ending, QLatin1StringView> endings[] = {
    {PastImport::Ending::CutShort, QLatin1StringView("adding")},
    {PastImport::Ending::Completed, QLatin1StringView("complete")},
    {PastImport::Ending::Stopped, QLatin1StringView("stopped")},
    {PastImport::Ending::Cancelled, QLatin1StringView("cancelled")},
};

QString endingText(PastImport::Ending ending)
{
    return std::find_if(std::begin(endings), std::end(endings), [ending](const auto &e) { return e.first == ending; })
        ->second;
}

PastImport::Ending endingOf(const QString &text)
{
    const auto *found =
        std::find_if(std::begin(endings), std::end(endings), [&text](const auto &e) { return e.second == text; });
    return found == std::end(endings) ? PastImport::Ending::CutShort : found->first;
}

QDateTime utc(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

QVariant numberOrNull(const std::optional<qint64> &number)
{
    return number ? QVariant(*number) : QVariant(QMetaType::fromType<qint64>());
}

QVariant lineOrNull(qint64 stopLine)
{
    return stopLine > 0 ? QVariant(stopLine) : QVariant(QMetaType::fromType<qint64>());
}

// Written within the import's transaction, which it holds open between
// pieces of its work: a write of the store would end it first.
outcome::Done runIn(store::Database &db, const QString &sql, const QVariantList &values)
{
    const auto ran = store::Statement::run(db, sql, values);
    if (!ran)
        return ran.problem();
    return {};
}
}

outcome::Result<QList<store::PastImport>> store::pastImports(Database &db)
{
    const auto remembered = hasTable(db, importsTable);
    if (!remembered)
        return remembered.problem();
    if (!*remembered)
        return outcome::notFound(QStringLiteral("Imports are not remembered in this database."));
    using namespace column;
    return rowsOf(db,
                  QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7, %8, %9, %10 FROM %11 ORDER BY %1 DESC")
                      .arg(id, file, size, sha256, started, ended, state, stopLine, added, undone, importsTable),
                  {}, [](const Statement &row) {
                      PastImport past;
                      past.id = row.value(0).toLongLong();
                      past.file = {row.text(1), row.value(2).toLongLong(), row.text(3)};
                      past.started = utc(row.text(4));
                      past.ended = utc(row.text(5));
                      past.ending = endingOf(row.text(6));
                      past.stopLine = row.value(7).toLongLong();
                      past.added = row.value(8).toLongLong();
                      if (!row.value(9).isNull())
                          past.undone = utc(row.text(9));
                      return past;
                  });
}

store::ImportRecorder::ImportRecorder(Database &db, const ImportedFile &file, bool notesLedger, bool changes)
    : m_db(db)
    , m_file(file)
    , m_started(utcNow())
    , m_notesLedger(notesLedger)
    , m_changes(changes)
{
}

outcome::Result<std::unique_ptr<store::ImportRecorder>>
store::ImportRecorder::prepare(Database &db, const QString &fileName, qint64 size, bool notesLedger)
{
    const auto remembered = hasTable(db, importsTable);
    const auto changes = remembered ? hasTable(db, changesTable) : remembered;
    if (!changes)
        return changes.problem();
    if (!*remembered)
        return outcome::notFound(QStringLiteral("Imports are not remembered in this database."));
    return std::unique_ptr<ImportRecorder>(new ImportRecorder(db, {fileName, size, QString()}, notesLedger, *changes));
}

void store::ImportRecorder::setChecksum(const QString &sha256)
{
    m_file.sha256 = sha256;
}

void store::ImportRecorder::read(const QString &star, const ObservationKey &key, bool fainterThan, bool noted)
{
    const auto jd = static_cast<qint64>(key.jd);
    m_keys.add(star, jd, key.magnitude, fainterThan, noted);
    m_partNewest = std::max(jd, m_partNewest.value_or(jd));
}

void store::ImportRecorder::added(qint64 row, std::initializer_list<QStringView> values)
{
    if (!m_firstRow)
        m_firstRow = row;
    m_lastRow = row;
    ++m_rows;
    m_checksum.add(row, values);
}

outcome::Done store::ImportRecorder::insertRecord(const QString &now, PastImport::Ending ending, qint64 stopLine)
{
    using namespace column;
    // What the ledger's coverage was before the import moved it on.
    std::optional<qint64> begun;
    std::optional<qint64> newestBefore;
    if (m_notesLedger) {
        auto coverage = Statement::run(m_db, QStringLiteral("SELECT %1 FROM %2").arg(newest, ledgerCoverageTable));
        if (!coverage)
            return coverage.problem();
        begun = coverage->next() ? 1 : 0;
        if (*begun && !coverage->value(0).isNull())
            newestBefore = coverage->value(0).toLongLong();
    }
    const auto schema = schemaCookie(m_db);
    if (!schema)
        return schema.problem();
    if (outcome::Done inserted = runIn(
            m_db,
            QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13) VALUES (%14)")
                .arg(importsTable, file, size, sha256, started, ended, state, column::stopLine, column::added, newest,
                     begunBefore, column::newestBefore, schemaVersion, placeholders(12)),
            {m_file.name, m_file.size, m_file.sha256, m_started, now, endingText(ending), lineOrNull(stopLine),
             m_added + m_rows, numberOrNull(m_partNewest), numberOrNull(begun), numberOrNull(newestBefore), *schema});
        !inserted)
        return inserted;
    const auto id = countOf(m_db, QStringLiteral("SELECT last_insert_rowid()"));
    if (!id)
        return id.problem();
    m_pendingId = *id;
    return {};
}

outcome::Done store::ImportRecorder::keep(PastImport::Ending ending, qint64 stopLine)
{
    using namespace column;
    const QString now = utcNow();
    m_pendingEnding = ending;
    m_pendingChecksum = m_file.sha256;
    std::optional<qint64> reach = m_newest;
    if (m_partNewest)
        reach = std::max(*m_partNewest, reach.value_or(*m_partNewest));
    outcome::Done recorded = m_id
        ? runIn(m_db,
                QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ?, %5 = ?, %6 = ?, %7 = ? WHERE %8 = ?")
                    .arg(importsTable, ended, state, column::stopLine, column::added, newest, sha256, id),
                {now, endingText(ending), lineOrNull(stopLine), m_added + m_rows, numberOrNull(reach), m_file.sha256,
                 *m_id})
        : insertRecord(now, ending, stopLine);
    if (!recorded)
        return recorded;
    m_pendingId = m_pendingId ? m_pendingId : m_id;
    if (!m_firstRow && m_keys.isEmpty())
        return {};
    std::optional<qint64> changesBefore;
    if (m_changes) {
        const auto newestChange =
            countOf(m_db, QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(id, changesTable));
        if (!newestChange)
            return newestChange.problem();
        changesBefore = *newestChange;
    }
    return runIn(
        m_db,
        QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6, %7) VALUES (?, ?, ?, ?, ?, ?)")
            .arg(importPartsTable, importId, firstRow, lastRow, checksum, column::changesBefore, keys),
        {*m_pendingId, numberOrNull(m_firstRow), numberOrNull(m_firstRow ? std::optional(m_lastRow) : std::nullopt),
         numberOrNull(m_firstRow ? std::optional(m_checksum.value()) : std::nullopt), numberOrNull(changesBefore),
         m_keys.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(m_keys.packed())});
}

void store::ImportRecorder::committed()
{
    m_id = m_pendingId;
    m_kept = m_pendingEnding;
    m_keptChecksum = m_pendingChecksum;
    m_added += m_rows;
    if (m_partNewest)
        m_newest = std::max(*m_partNewest, m_newest.value_or(*m_partNewest));
    takenBack();
}

void store::ImportRecorder::takenBack()
{
    m_pendingId.reset();
    m_firstRow.reset();
    m_lastRow = 0;
    m_rows = 0;
    m_checksum = RowChecksum();
    m_keys.clear();
    m_partNewest.reset();
}

outcome::Done store::ImportRecorder::end(PastImport::Ending ending, qint64 stopLine)
{
    if (!m_id || (ending == m_kept && m_file.sha256 == m_keptChecksum))
        return {};
    using namespace column;
    const outcome::Done written =
        Statement::write(m_db,
                         QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ?, %5 = ? WHERE %6 = ?")
                             .arg(importsTable, ended, state, column::stopLine, sha256, id),
                         {utcNow(), endingText(ending), lineOrNull(stopLine), m_file.sha256, *m_id});
    if (written) {
        m_kept = ending;
        m_keptChecksum = m_file.sha256;
    }
    return written;
}
