// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/ledger.h"

#include "appfiles/folder.h"
#include "store/database.h"
#include "store/lookupindexes.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <cmath>

namespace
{
QString sqliteMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// A database of this program made before the ledger, not yet given it.
bool lacksLedger(sqlite3 *db)
{
    return sqliteMessage(db).startsWith(QLatin1String("no such table"));
}

// A statement of the reader, finalised when it goes.
class Rows final
{
public:
    Rows(sqlite3 *db, const QString &sql)
    {
        const QByteArray text = sql.toUtf8();
        sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &m_statement, nullptr);
    }
    ~Rows() { sqlite3_finalize(m_statement); }
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    bool prepared() const { return m_statement != nullptr; }
    sqlite3_stmt *operator*() const { return m_statement; }

private:
    sqlite3_stmt *m_statement = nullptr;
};

// The file opened only for reading, closed when it goes.
class ReadOnlyFile final
{
public:
    explicit ReadOnlyFile(const QString &path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        if (m_db) {
            sqlite3_busy_timeout(m_db, store::Database::busyTimeoutMs);
            // Read in place rather than copied page by page: the ledger is read whole.
            sqlite3_exec(m_db, "PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
        }
    }
    ~ReadOnlyFile() { sqlite3_close(m_db); }
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    sqlite3 *db() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

// The rows of the ledger, read in the order of its key: each star's rows together.
outcome::Result<store::Ledger> readRows(sqlite3 *db)
{
    namespace column = store::column;
    store::Ledger ledger;
    const Rows coverage(db, QStringLiteral("SELECT %1 FROM %2").arg(column::newest, store::ledgerCoverageTable));
    const Rows held(db,
                    QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 ORDER BY %2, %3, %4")
                        .arg(column::star, column::jd, column::magnitude, column::fainter, store::ledgerTable));
    if (!coverage.prepared() || !held.prepared()) {
        if (lacksLedger(db))
            return outcome::notFound(sqliteMessage(db));
        return outcome::failed(sqliteMessage(db));
    }
    int step = sqlite3_step(*coverage);
    if (step == SQLITE_ROW) {
        ledger.begun = true;
        if (sqlite3_column_type(*coverage, 0) != SQLITE_NULL)
            ledger.newest = sqlite3_column_int64(*coverage, 0);
    } else if (step != SQLITE_DONE) {
        return outcome::failed(sqliteMessage(db));
    }
    // Each star's name is made into text once, however many rows it has.
    QHash<QByteArray, qsizetype> stars;
    while ((step = sqlite3_step(*held)) == SQLITE_ROW) {
        const auto *name = static_cast<const char *>(sqlite3_column_blob(*held, 0));
        const QByteArray inPlace = QByteArray::fromRawData(name, sqlite3_column_bytes(*held, 0));
        auto star = stars.constFind(inPlace);
        if (star == stars.cend()) {
            star = stars.insert(QByteArray(inPlace.constData(), inPlace.size()), ledger.stars.size());
            ledger.stars.append(QString::fromUtf8(inPlace));
        }
        ledger.held.push_back({sqlite3_column_int64(*held, 1), sqlite3_column_double(*held, 2),
                               sqlite3_column_int(*held, 3) != 0, star.value()});
    }
    if (step != SQLITE_DONE)
        return outcome::failed(sqliteMessage(db));
    return ledger;
}

// Steps an insert or delete of the key; true when it changed the ledger.
outcome::Result<bool> stepKey(sqlite3 *db, sqlite3_stmt *statement, QStringView star, const store::ObservationKey &key,
                              bool fainterThan)
{
    const auto jd = static_cast<qint64>(key.jd);
    // The text stays in the caller's hands until the row is stepped.
    sqlite3_bind_text16(statement, 1, star.utf16(), static_cast<int>(star.size() * 2), SQLITE_STATIC);
    sqlite3_bind_int64(statement, 2, jd);
    sqlite3_bind_double(statement, 3, key.magnitude);
    sqlite3_bind_int(statement, 4, fainterThan ? 1 : 0);
    std::optional<outcome::Problem> refused;
    if (sqlite3_step(statement) != SQLITE_DONE)
        refused = store::engineRefusal(sqliteMessage(db));
    const bool changed = sqlite3_changes(db) > 0;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (refused)
        return *refused;
    return changed;
}
}

struct store::LedgerRecorder::Engine
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *insert = nullptr;
    sqlite3_stmt *remove = nullptr;
};

store::LedgerRecorder::LedgerRecorder(Database &db)
    : m_engine(std::make_unique<Engine>())
    , m_db(db)
{
}

store::LedgerRecorder::~LedgerRecorder()
{
    sqlite3_finalize(m_engine->insert);
    sqlite3_finalize(m_engine->remove);
}

outcome::Result<std::unique_ptr<store::LedgerRecorder>> store::LedgerRecorder::prepare(Database &db)
{
    const outcome::Result<sqlite3 *> connection = Statement::engineConnection(db);
    if (!connection)
        return connection.problem();
    std::unique_ptr<LedgerRecorder> recorder(new LedgerRecorder(db));
    recorder->m_engine->db = *connection;
    using namespace column;
    const QByteArray sql = QStringLiteral("INSERT OR IGNORE INTO %1 (%2, %3, %4, %5) VALUES (?, ?, ?, ?)")
                               .arg(ledgerTable, star, jd, magnitude, fainter)
                               .toUtf8();
    sqlite3 *engine = recorder->m_engine->db;
    if (sqlite3_prepare_v2(engine, sql.constData(), static_cast<int>(sql.size()), &recorder->m_engine->insert, nullptr)
        != SQLITE_OK) {
        if (lacksLedger(engine))
            return outcome::notFound(QStringLiteral("The database has no ledger (%1).").arg(sqliteMessage(engine)));
        return engineRefusal(sqliteMessage(engine));
    }
    return recorder;
}

outcome::Result<bool> store::LedgerRecorder::record(QStringView star, const ObservationKey &key, bool fainterThan)
{
    const outcome::Result<bool> added = stepKey(m_engine->db, m_engine->insert, star, key, fainterThan);
    // Read, whether added or held already: the download reaches its date.
    if (added.ok()) {
        const auto jd = static_cast<qint64>(key.jd);
        m_newest = std::max(jd, m_newest.value_or(jd));
    }
    return added;
}

outcome::Result<bool> store::LedgerRecorder::forget(QStringView star, const ObservationKey &key, bool fainterThan)
{
    if (!m_engine->remove) {
        // The star compares as the ledger's key does, without letter case.
        const QByteArray sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?1 AND %3 = ?2 AND %4 = ?3 AND %5 = ?4")
                                   .arg(ledgerTable, column::star, column::jd, column::magnitude, column::fainter)
                                   .toUtf8();
        if (sqlite3_prepare_v2(m_engine->db, sql.constData(), static_cast<int>(sql.size()), &m_engine->remove, nullptr)
            != SQLITE_OK)
            return engineRefusal(sqliteMessage(m_engine->db));
    }
    return stepKey(m_engine->db, m_engine->remove, star, key, fainterThan);
}

outcome::Done store::LedgerRecorder::cover()
{
    // Written only when it moves on, so that an import again changes nothing.
    auto covered = Statement::run(
        m_db,
        QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (1, ?) ON CONFLICT (%2) DO UPDATE SET %3 = excluded.%3 "
                       "WHERE excluded.%3 IS NOT NULL AND (%3 IS NULL OR excluded.%3 > %3)")
            .arg(ledgerCoverageTable, column::id, column::newest),
        {m_newest ? QVariant(*m_newest) : QVariant(QMetaType(QMetaType::LongLong))});
    if (!covered)
        return covered.problem();
    m_newest.reset();
    return {};
}

void store::LedgerRecorder::takenBack()
{
    m_newest.reset();
}

outcome::Result<store::Ledger> store::readLedger(const appfiles::Folder &appFolder)
{
    const QString path = appFolder.database();
    // The engine would make a missing file.
    if (!QFileInfo(path).isFile())
        return outcome::notFound(QStringLiteral("There is no database \"%1\".").arg(path));
    const ReadOnlyFile file(path);
    if (!file.db() || sqlite3_errcode(file.db()) != SQLITE_OK)
        return outcome::failed(QStringLiteral("The database \"%1\" cannot be opened: %2.")
                                   .arg(path, file.db() ? sqliteMessage(file.db()) : QStringLiteral("out of memory")));
    outcome::Result<Ledger> ledger = readRows(file.db());
    if (ledger)
        return ledger;
    if (ledger.problem().kind == outcome::Kind::NotFound && lookups(appFolder) == Lookups::Foreign)
        return outcome::notFound(
            QStringLiteral("The ledger is not kept in this database, for %1.").arg(foreignReason(appFolder)));
    if (ledger.problem().kind == outcome::Kind::NotFound)
        return outcome::notFound(QStringLiteral("The database \"%1\" has no ledger yet: the program adds it when it "
                                                "starts or imports a download.")
                                     .arg(path));
    return outcome::failed(
        QStringLiteral("The ledger in \"%1\" cannot be read: %2.").arg(path, ledger.problem().message));
}

outcome::Result<QStringList> store::heldStars(Database &db, const ObservationKey &key, bool fainterThan)
{
    using namespace column;
    return textsOf(db,
                   QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? AND %4 = ? AND %5 = ?")
                       .arg(star, ledgerTable, jd, magnitude, fainter),
                   {static_cast<qint64>(key.jd), key.magnitude, fainterThan ? 1 : 0});
}
