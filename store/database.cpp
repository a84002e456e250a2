// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/database.h"

#include "appfiles/filesystem.h"
#include "appfiles/folder.h"
#include "store/heldtransaction.h"
#include "store/logging.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace
{
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("varlume-db-%1").arg(counter.fetchAndAddRelaxed(1));
}

// The engine's primary result codes that have a cause worth telling.
enum EngineCode { Busy = 5, Locked = 6, ReadOnly = 8, Full = 13 };
}

store::Database::Database(const appfiles::Folder &appFolder, Access access)
    : m_path(appFolder.database())
    , m_connection(nextConnectionName())
    , m_access(access)
{
}

store::Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

outcome::Done store::Database::open()
{
    if (m_open)
        return {};
    const QFileInfo file(m_path);
    if (file.isDir())
        return outcome::failed(QStringLiteral("The database file \"%1\" is a folder, not a file.").arg(m_path));
    if (const auto link = appfiles::danglingLink(m_path))
        return outcome::failed(QStringLiteral("The database file \"%1\" cannot be opened: %2.").arg(m_path, *link));
    if (!file.isFile())
        return outcome::notFound(QStringLiteral("The database file \"%1\" is missing.").arg(m_path));
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    // Several handles on the one file wait for each other instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs)
                         + (m_access == Access::ReadOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open())
        return outcome::failed(
            QStringLiteral("The database file \"%1\" cannot be opened: %2").arg(m_path, db.lastError().text()));
    m_open = true;
    if (outcome::Done checked = checkStructure(); !checked) {
        db.close();
        m_open = false;
        return checked;
    }
    return {};
}

outcome::Done store::Database::checkStructure()
{
    const QString unusable = QStringLiteral("The file \"%1\" is not a database this program can use (%2). "
                                            "It has been left unchanged; move it aside and start the program "
                                            "again to have a new, empty catalogue created.");
    for (const Table *table : {&charts(), &cumobs()}) {
        // Identifiers here come from the schema, never from the user.
        QSqlQuery info(QSqlDatabase::database(m_connection, false));
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table->name))) {
            const QSqlError error = info.lastError();
            const outcome::Problem problem = engineProblem(error.nativeErrorCode().toInt(), error.text());
            // Held by another program is no sign of a foreign file.
            if (problem.kind == outcome::Kind::Busy)
                return problem;
            return outcome::failed(unusable.arg(m_path, error.text()));
        }
        QStringList found;
        while (info.next())
            found.append(info.value(1).toString());
        if (found.join(QLatin1Char(',')).compare(table->columnNames().join(QLatin1Char(',')), Qt::CaseInsensitive)
            != 0) {
            return outcome::failed(
                unusable.arg(m_path,
                             found.isEmpty() ? QStringLiteral("it has no table \"%1\"").arg(table->name)
                                             : QStringLiteral("its table \"%1\" has other columns").arg(table->name)));
        }
    }
    return {};
}

QString store::Database::path() const
{
    return m_path;
}

outcome::Problem store::Database::engineProblem(int code, const QString &engineText) const
{
    switch (code & 0xff) {
    case Busy:
    case Locked:
        qCInfo(store::lc) << "the database" << m_path << "is held by another handle or program:" << engineText;
        return outcome::busy(
            QStringLiteral("The database \"%1\" is in use by another program. Try again in a moment.").arg(m_path));
    case ReadOnly:
        return outcome::failed(QStringLiteral("The database \"%1\" cannot be written: permission denied.").arg(m_path));
    case Full:
        return outcome::failed(QStringLiteral("The database \"%1\" cannot be written: the disk is full.").arg(m_path));
    default: return engineRefusal(engineText);
    }
}

outcome::Done store::Database::execute(const QString &statement)
{
    auto run = Statement::run(*this, statement);
    if (!run)
        return run.problem();
    return {};
}

outcome::Done store::Database::begin(std::chrono::milliseconds wait)
{
    if (outcome::Done opened = open(); !opened)
        return opened;
    endHeldTransactions();
    // A number of ours, not a value: pragmas take no bound parameters.
    if (outcome::Done waiting = execute(QStringLiteral("PRAGMA busy_timeout = %1").arg(qMax<qint64>(1, wait.count())));
        !waiting)
        return waiting;
    return execute(QStringLiteral("BEGIN IMMEDIATE"));
}

outcome::Done store::Database::beginHeld()
{
    return execute(QStringLiteral("BEGIN"));
}

outcome::Done store::Database::commit()
{
    return execute(QStringLiteral("COMMIT"));
}

outcome::Done store::Database::rollback()
{
    outcome::Done done = execute(QStringLiteral("ROLLBACK"));
    if (!done)
        qCWarning(store::lc) << "the changes to" << m_path << "were not taken back:" << done.problem().message;
    return done;
}

outcome::Done store::Database::keepChangesUntilCommit()
{
    return execute(QStringLiteral("PRAGMA cache_spill = OFF"));
}

outcome::Problem store::engineRefusal(const QString &engineText)
{
    static const QRegularExpression check(QStringLiteral("CHECK constraint failed: ([A-Za-z]+)_(\\w+)_text"));
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: \\w+\\.(\\w+)"));
    if (const auto m = check.match(engineText); m.hasMatch()) {
        const QString column = m.captured(2);
        const Table *t = table(m.captured(1));
        const Column *c = t ? t->column(column) : nullptr;
        const int length = c ? c->length : 0;
        return outcome::refused(
            QStringLiteral("The value for \"%1\" must not be empty and may hold at most %2 characters.")
                .arg(column)
                .arg(length));
    }
    if (const auto m = unique.match(engineText); m.hasMatch())
        return outcome::duplicate(
            QStringLiteral("There is already an entry with this %1 (letter case does not count).").arg(m.captured(1)));
    return outcome::failed(QStringLiteral("The database refused the operation: %1").arg(engineText));
}
