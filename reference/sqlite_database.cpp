#include "reference/sqlite_database.h"

#include <sqlite3.h>

namespace scrivlet {
namespace {

[[noreturn]] void fail(sqlite3* db, int code)
{
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw SqliteError(code, message);
}

// len(x): the number of characters of x, counting UTF-8 sequences as one character.
void lenFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = sqlite3_value_text(args[0]);
    const int bytes = sqlite3_value_bytes(args[0]);
    std::int64_t characters = 0;
    for (int i = 0; i < bytes; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            ++characters;
    }
    sqlite3_result_int64(context, characters);
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : m_db(db)
{
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        fail(db, rc);
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_db(other.m_db), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

void SqliteStatement::bind(int index, std::int64_t value)
{
    if (const int rc = sqlite3_bind_int64(m_stmt, index, value); rc != SQLITE_OK)
        fail(m_db, rc);
}

void SqliteStatement::bind(int index, std::string_view text)
{
    const int rc = sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                       SQLITE_UTF8);
    if (rc != SQLITE_OK)
        fail(m_db, rc);
}

void SqliteStatement::bindNull(int index)
{
    if (const int rc = sqlite3_bind_null(m_stmt, index); rc != SQLITE_OK)
        fail(m_db, rc);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(m_db, rc);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

std::string SqliteStatement::columnName(int column) const
{
    const char* name = sqlite3_column_name(m_stmt, column);
    return name ? name : "";
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

bool SqliteStatement::isInteger(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_INTEGER;
}

bool SqliteStatement::isReal(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_FLOAT;
}

std::int64_t SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

std::string SqliteStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int bytes = sqlite3_column_bytes(m_stmt, column);
    return data ? std::string(data, static_cast<std::size_t>(bytes)) : std::string();
}

SqliteDatabase::SqliteDatabase(const std::string& path, OpenMode mode)
{
    int flags = SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw SqliteError(rc, message);
    }
    sqlite3_extended_result_codes(m_db, 1);
    // Another running copy may be counting a use at this moment; wait for it briefly.
    sqlite3_busy_timeout(m_db, 500);
    sqlite3_create_function_v2(m_db, "len", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               lenFunction, nullptr, nullptr, nullptr);
    exec("PRAGMA synchronous=FULL");
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(m_db);
}

SqliteStatement SqliteDatabase::prepare(std::string_view sql)
{
    return SqliteStatement(m_db, sql);
}

void SqliteDatabase::exec(const std::string& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw SqliteError(rc, message);
    }
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

bool SqliteDatabase::hasTable(std::string_view table)
{
    auto stmt = prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    stmt.bind(1, table);
    return stmt.step();
}

std::int64_t SqliteDatabase::changes() const
{
    return sqlite3_changes64(m_db);
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : m_db(db)
{
    m_db.exec("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction()
{
    if (!m_done)
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit()
{
    m_db.exec("COMMIT");
    m_done = true;
}

} // namespace scrivlet
