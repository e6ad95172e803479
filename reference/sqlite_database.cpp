#include "reference/sqlite_database.h"

#include "common/ascii.h"
#include "common/windows1252.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet {
namespace {

[[noreturn]] void fail(sqlite3* db, int code)
{
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw SqliteError(code, message);
}

void check(sqlite3* db, int code)
{
    if (code != SQLITE_OK)
        fail(db, code);
}

// len(x): the number of characters of x. Text that is not valid UTF-8 is Windows-1252, one
// character per byte, as older databases hold it.
void lenFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const std::string_view text(data ? data : "",
                                static_cast<std::size_t>(sqlite3_value_bytes(args[0])));
    if (!isValidUtf8(text)) {
        sqlite3_result_int64(context, static_cast<std::int64_t>(text.size()));
        return;
    }
    std::int64_t characters = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++characters;
    }
    sqlite3_result_int64(context, characters);
}

} // namespace

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : m_db(db)
{
    const int rc =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
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
    const int rc =
        sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
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

void SqliteDatabase::Close::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqliteDatabase::SqliteDatabase(const std::string& path, OpenMode mode)
{
    int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::CreateIfMissing)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    m_db.reset(db);
    if (rc != SQLITE_OK)
        fail(db, rc);
    sqlite3_extended_result_codes(db, 1);
    // SQLite holds the file open from here; the path names it unless it moves this instant, which
    // SQLite's own check in hasMoved() sees.
    if (const char* file = sqlite3_db_filename(db, "main"); file && *file) {
        if (const auto id = fileId(file)) {
            m_path = file;
            m_file = *id;
        }
    }
    // Another running copy may be counting a use at this moment; wait for it briefly.
    setBusyTimeout(kDefaultBusyWait);
    check(db, sqlite3_create_function_v2(db, "len", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                         lenFunction, nullptr, nullptr, nullptr));
    exec("PRAGMA synchronous=FULL");
}

SqliteDatabase::~SqliteDatabase()
{
    if (m_logFiles.empty() || !hasMoved())
        return;
    sqlite3_exec(m_db.get(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    m_db.reset();
    for (const auto& [path, id] : m_logFiles) {
        if (fileId(path) == id)
            ::unlink(path.c_str());
    }
}

std::optional<SqliteDatabase::FileId> SqliteDatabase::fileId(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

SqliteStatement SqliteDatabase::prepare(std::string_view sql)
{
    return SqliteStatement(m_db.get(), sql);
}

void SqliteDatabase::exec(const std::string& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db.get(), sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw SqliteError(rc, message);
    }
}

std::string SqliteDatabase::setJournalMode(std::string_view mode)
{
    std::string now;
    {
        auto stmt = prepare("PRAGMA journal_mode=" + std::string(mode));
        now = stmt.step() ? asciiLower(stmt.text(0)) : std::string();
    }
    m_logFiles.clear();
    if (now == "wal" && !m_path.empty()) {
        // The first read in the new mode makes the log files.
        sqlite3_exec(m_db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        for (const char* suffix : {"-wal", "-shm"}) {
            if (const auto id = fileId(m_path + suffix))
                m_logFiles.emplace_back(m_path + suffix, *id);
        }
    }
    return now;
}

void SqliteDatabase::setBusyTimeout(std::chrono::milliseconds wait)
{
    check(m_db.get(), sqlite3_busy_timeout(m_db.get(), static_cast<int>(wait.count())));
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_db.get(), "main") == 1;
}

bool SqliteDatabase::hasMoved() const
{
    if (!m_path.empty() && fileId(m_path) != m_file)
        return true;
    int moved = 0;
    return sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

std::int64_t SqliteDatabase::changes() const
{
    return sqlite3_changes64(m_db.get());
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
