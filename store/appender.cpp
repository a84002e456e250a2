// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/appender.h"

#include "store/database.h"
#include "store/statement.h"

#include <sqlite3.h>

struct store::Appender::Engine
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
};

store::Appender::Appender(int columns)
    : m_engine(std::make_unique<Engine>())
    , m_columns(columns)
{
}

outcome::Result<std::unique_ptr<store::Appender>> store::Appender::prepare(Database &db, const Table &table,
                                                                           const QStringList &columns)
{
    for (const QString &column : columns) {
        // Identifiers come from the schema, never from the user.
        if (!table.column(column))
            return outcome::failed(QStringLiteral("Unknown column \"%1\" in table \"%2\".").arg(column, table.name));
    }
    const outcome::Result<sqlite3 *> connection = Statement::engineConnection(db);
    if (!connection)
        return connection.problem();
    std::unique_ptr<Appender> appender(new Appender(static_cast<int>(columns.size())));
    appender->m_engine->db = *connection;
    const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(table.name, columns.join(QStringLiteral(", ")), placeholders(columns.size()))
                               .toUtf8();
    if (sqlite3_prepare_v2(appender->m_engine->db, sql.constData(), static_cast<int>(sql.size()),
                           &appender->m_engine->statement, nullptr)
        != SQLITE_OK)
        return appender->engineProblem();
    return appender;
}

store::Appender::~Appender()
{
    sqlite3_finalize(m_engine->statement);
}

outcome::Problem store::Appender::engineProblem() const
{
    return engineRefusal(QString::fromUtf8(sqlite3_errmsg(m_engine->db)));
}

outcome::Done store::Appender::append(std::initializer_list<QStringView> values)
{
    if (static_cast<int>(values.size()) != m_columns)
        return outcome::failed(QStringLiteral("The row does not match the columns."));
    int position = 1;
    for (const QStringView value : values) {
        // The text stays in the caller's hands until the row is stepped. An
        // empty text is bound as one, never as NULL, so the engine refuses it.
        const char16_t *text = value.utf16() ? value.utf16() : u"";
        if (sqlite3_bind_text16(m_engine->statement, position++, text, static_cast<int>(value.size() * 2),
                                SQLITE_STATIC)
            != SQLITE_OK) {
            const outcome::Problem problem = engineProblem();
            sqlite3_reset(m_engine->statement);
            return problem;
        }
    }
    // The engine's message belongs to the step; reset would replace it.
    std::optional<outcome::Problem> refused;
    if (sqlite3_step(m_engine->statement) != SQLITE_DONE)
        refused = engineProblem();
    sqlite3_reset(m_engine->statement);
    sqlite3_clear_bindings(m_engine->statement);
    if (refused)
        return *refused;
    return {};
}

qint64 store::Appender::lastRow() const
{
    return sqlite3_last_insert_rowid(m_engine->db);
}
