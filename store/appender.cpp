// SPDX-License-Identifier: GPL-2.0-or-later
#include "store/appender.h"

#include "store/database.h"

#include <QSqlDriver>

#include <sqlite3.h>

struct store::Appender::Engine
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
};

store::Appender::Appender(const QSqlDatabase &db, const Table &table, const QStringList &columns)
    : m_engine(std::make_unique<Engine>())
    , m_columns(static_cast<int>(columns.size()))
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        m_error = QStringLiteral("The database is not open.");
        return;
    }
    m_engine->db = *static_cast<sqlite3 *const *>(handle.constData());
    QStringList marks;
    for (const QString &column : columns) {
        // Identifiers come from the schema, never from the user.
        if (!table.column(column)) {
            m_error = QStringLiteral("Unknown column \"%1\" in table \"%2\".").arg(column, table.name);
            return;
        }
        marks.append(QStringLiteral("?"));
    }
    const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(table.name, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")))
                               .toUtf8();
    if (sqlite3_prepare_v2(m_engine->db, sql.constData(), static_cast<int>(sql.size()), &m_engine->statement, nullptr)
        != SQLITE_OK)
        fail();
}

store::Appender::~Appender()
{
    sqlite3_finalize(m_engine->statement);
}

bool store::Appender::isValid() const
{
    return m_engine->statement != nullptr;
}

QString store::Appender::error() const
{
    return m_error;
}

bool store::Appender::fail()
{
    m_error = describeEngineError(QString::fromUtf8(sqlite3_errmsg(m_engine->db)));
    return false;
}

bool store::Appender::append(std::initializer_list<QStringView> values)
{
    if (!m_engine->statement || static_cast<int>(values.size()) != m_columns) {
        m_error = QStringLiteral("The row does not match the columns.");
        return false;
    }
    int position = 1;
    for (const QStringView value : values) {
        // The text stays in the caller's hands until the row is stepped. An
        // empty text is bound as one, never as NULL, so the engine refuses it.
        const char16_t *text = value.utf16() ? value.utf16() : u"";
        if (sqlite3_bind_text16(m_engine->statement, position++, text, static_cast<int>(value.size() * 2),
                                SQLITE_STATIC)
            != SQLITE_OK) {
            sqlite3_reset(m_engine->statement);
            return fail();
        }
    }
    const bool added = sqlite3_step(m_engine->statement) == SQLITE_DONE;
    // The engine's message belongs to the step; reset would replace it.
    if (!added)
        fail();
    sqlite3_reset(m_engine->statement);
    sqlite3_clear_bindings(m_engine->statement);
    return added;
}
