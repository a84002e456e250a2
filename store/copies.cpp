// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/copies.h"

#include "appfiles/filesystem.h"
#include "store/database.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>
#include <unistd.h>

namespace
{
// Pages a step copies under the database's shared lock: a few milliseconds
// of work, after which a writer that waits gets in.
constexpr int pagesPerStep = 512;
// The longest a step that follows a write of another handle holds the
// database: well within the second a recording waits.
constexpr qint64 longestStepMs = 400;
// How long another program may keep every step out before the copy gives up.
constexpr int heldLongestMs = 3000;
// How long a copy may go on starting again because others keep changing the database.
constexpr int copyLongestMs = 60000;
constexpr unsigned long retryMs = 5;

struct EngineFile
{
    EngineFile() = default;
    ~EngineFile() { sqlite3_close_v2(db); }
    EngineFile(const EngineFile &) = delete;
    EngineFile &operator=(const EngineFile &) = delete;

    sqlite3 *db = nullptr;
};

// The engine's error of the connection worded for the observer, the system's
// reason first where there is one.
outcome::Problem problemOf(sqlite3 *db, int code)
{
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return outcome::busy(QStringLiteral("another program holds the database"));
    case SQLITE_FULL: return outcome::failed(appfiles::describeError(ENOSPC));
    case SQLITE_NOTADB: return outcome::failed(QStringLiteral("it is not a database"));
    case SQLITE_CORRUPT: return outcome::failed(QStringLiteral("it is damaged"));
    case SQLITE_READONLY:
        if (code == SQLITE_READONLY_ROLLBACK)
            return outcome::failed(QStringLiteral("it was left while a program was writing it, and the journal "
                                                  "that would complete it lies beside it"));
        return outcome::failed(QStringLiteral("it cannot be written"));
    default: break;
    }
    if (systemError != 0)
        return outcome::failed(appfiles::describeError(systemError));
    return outcome::failed(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code)));
}

// Only a plain file is handed to the engine: a pipe or a device would hold it up.
outcome::Done plainFile(const QString &path)
{
    const outcome::Result<appfiles::OpenedFile> opened = appfiles::openRegular(path);
    if (!opened)
        return opened.problem();
    ::close(opened->descriptor);
    return {};
}

outcome::Done open(EngineFile &connection, const QString &path, int flags)
{
    const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &connection.db, flags, nullptr);
    if (code != SQLITE_OK)
        return problemOf(connection.db, code);
    sqlite3_extended_result_codes(connection.db, 1);
    return {};
}

outcome::Done run(sqlite3 *db, const char *sql)
{
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        return problemOf(db, sqlite3_extended_errcode(db));
    return {};
}

// Steps the backup until it is done; a busy step is tried again until others
// have held the database for too long. Each write of another handle starts
// the copy again: from then on a step copies as many pages as the steps so
// far copied in longestStepMs, so that a writer that keeps coming cannot keep
// the copy from its end, and still never waits long.
outcome::Done stepThrough(sqlite3_backup *backup, sqlite3 *from, sqlite3 *to, int pages)
{
    const QDeadlineTimer copyEnd(copyLongestMs);
    QDeadlineTimer heldEnd(heldLongestMs);
    QElapsedTimer copying;
    qint64 copyingNs = 0;
    qint64 copied = 0;
    int remaining = -1;
    int code = SQLITE_OK;
    for (;;) {
        copying.start();
        code = sqlite3_backup_step(backup, pages);
        const bool busy = (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
        if ((code != SQLITE_OK && !busy) || copyEnd.hasExpired() || (busy && heldEnd.hasExpired()))
            break;
        if (busy) {
            QThread::msleep(retryMs);
            continue;
        }
        heldEnd.setRemainingTime(heldLongestMs);
        copyingNs += copying.nsecsElapsed();
        copied += pages;
        const int left = sqlite3_backup_remaining(backup);
        if (pages > 0 && remaining >= 0 && left > remaining - pages && copyingNs > 0)
            pages = std::max<int>(pages, int(copied * longestStepMs * 1'000'000 / copyingNs));
        remaining = left;
    }
    const int finished = sqlite3_backup_finish(backup);
    if (code == SQLITE_DONE && finished == SQLITE_OK)
        return {};
    if (code == SQLITE_OK)
        return outcome::busy(QStringLiteral("the database was changed all the time it was being copied"));
    if (code == SQLITE_DONE)
        code = finished;
    // The system's reason is the handle's whose file failed.
    return problemOf(sqlite3_system_errno(to) == 0 && sqlite3_system_errno(from) != 0 ? from : to, code);
}
}

outcome::Done store::copyDatabase(const QString &from, const QString &to, CopyFrom source)
{
    if (outcome::Done plain = plainFile(from); !plain)
        return plain;
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return outcome::duplicate(QStringLiteral("\"%1\" exists already").arg(to));
    EngineFile original;
    const int readFlags = source == CopyFrom::Live ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (outcome::Done opened = open(original, from, readFlags); !opened)
        return opened;
    EngineFile copy;
    if (outcome::Done opened = open(copy, to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); !opened)
        return opened;
    // A new file that is removed when anything fails needs no journal; it is
    // flushed to the disk once, at the end.
    if (outcome::Done unjournalled = run(copy.db, "PRAGMA journal_mode = OFF"); !unjournalled)
        return unjournalled;
    sqlite3_backup *backup = sqlite3_backup_init(copy.db, "main", original.db, "main");
    if (!backup)
        return problemOf(copy.db, sqlite3_extended_errcode(copy.db));
    return stepThrough(backup, original.db, copy.db, pagesPerStep);
}

outcome::Done store::checkIntegrity(const QString &path)
{
    if (outcome::Done plain = plainFile(path); !plain)
        return plain;
    EngineFile file;
    if (outcome::Done opened = open(file, path, SQLITE_OPEN_READONLY); !opened)
        return opened;
    // Every index is checked against its table: quick only while the pages stay in memory.
    if (outcome::Done cached = run(file.db, "PRAGMA cache_size = -262144"); !cached)
        return cached;
    sqlite3_stmt *statement = nullptr;
    // The findings beyond the first few tell the observer nothing more.
    int code = sqlite3_prepare_v2(file.db, "PRAGMA integrity_check(5)", -1, &statement, nullptr);
    QStringList findings;
    if (code == SQLITE_OK) {
        while ((code = sqlite3_step(statement)) == SQLITE_ROW)
            findings.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
    }
    sqlite3_finalize(statement);
    if (code != SQLITE_DONE)
        return problemOf(file.db, sqlite3_extended_errcode(file.db));
    if (findings == QStringList{QStringLiteral("ok")})
        return {};
    return outcome::failed(
        QStringLiteral("it is damaged (the check of its structure found: %1)").arg(findings.join(u"; ")));
}

outcome::Done store::restoreInto(const QString &copy, const QString &live)
{
    for (const QString &path : {copy, live}) {
        if (outcome::Done plain = plainFile(path); !plain)
            return plain;
    }
    EngineFile original;
    if (outcome::Done opened = open(original, copy, SQLITE_OPEN_READONLY); !opened)
        return opened;
    EngineFile target;
    if (outcome::Done opened = open(target, live, SQLITE_OPEN_READWRITE); !opened)
        return opened;
    sqlite3_busy_timeout(target.db, Database::busyTimeoutMs);
    sqlite3_backup *backup = sqlite3_backup_init(target.db, "main", original.db, "main");
    if (!backup)
        return problemOf(target.db, sqlite3_extended_errcode(target.db));
    // All pages in one step: one transaction of live, committed at its end.
    return stepThrough(backup, original.db, target.db, -1);
}
