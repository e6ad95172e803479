#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace scrivlet {

// A failure reported by SQLite, with its result code and the library's own text.
class SqliteError final : public std::runtime_error {
public:
    SqliteError(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// One prepared statement; finalized when it goes out of scope.
class SqliteStatement final {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int index, std::int64_t value);
    void bind(int index, std::string_view text);
    void bindNull(int index);
    // Runs one step; true while it delivers a row.
    bool step();
    void reset();

    int columnCount() const;
    std::string columnName(int column) const;
    bool isNull(int column) const;
    bool isInteger(int column) const;
    bool isReal(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// The one narrow door to SQLite: an open database connection, closed when it goes out of scope.
// Every connection knows the SQL function len(text), the length of a text in characters.
class SqliteDatabase final {
public:
    enum class OpenMode {
        ExistingOnly, // read and write an existing file; never create one
        CreateIfMissing,
    };

    SqliteDatabase(const std::string& path, OpenMode mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    SqliteStatement prepare(std::string_view sql);
    void exec(const std::string& sql);
    bool isReadOnly() const;
    bool hasTable(std::string_view table);
    std::int64_t changes() const;
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// Runs a transaction: BEGIN IMMEDIATE on construction, ROLLBACK unless commit() succeeded.
class SqliteTransaction final {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void commit();

private:
    SqliteDatabase& m_db;
    bool m_done = false;
};

} // namespace scrivlet
