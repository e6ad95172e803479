#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// The one narrow door to SQLite: an open database connection, closed when it goes out of scope
// (also when the constructor fails after the file was opened). Every connection knows the SQL
// function len(text), the length of a text in characters (see decodeUtf8OrWindows1252), and
// waits up to kDefaultBusyWait for a lock that another connection holds.
//
// SQLite leaves the write-ahead log of a file that moved away at the file's old path, where it
// would be read as the log of whatever file comes there next. A connection that put its file in
// WAL mode and closes after the file moved folds the log into that file and removes the log
// files from the path, but only while the path still holds the very files it saw made.
class SqliteDatabase final {
  public:
    enum class OpenMode {
        ExistingOnly, // read and write an existing file; never create one
        CreateIfMissing,
        ReadOnly, // read an existing file; nothing is ever written to it
    };
    static constexpr std::chrono::milliseconds kDefaultBusyWait{500};

    SqliteDatabase(const std::string& path, OpenMode mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    SqliteStatement prepare(std::string_view sql);
    void exec(const std::string& sql);
    // Asks for a journal mode ("wal", "delete") and returns the mode in force afterwards, in
    // lower case: SQLite answers a change it refuses with the old mode, not with an error.
    std::string setJournalMode(std::string_view mode);
    void setBusyTimeout(std::chrono::milliseconds wait);
    bool isReadOnly() const;
    // Whether the path no longer names the file this connection opened (nothing is there, or a
    // file of another device or inode): it was deleted, renamed, or replaced by another.
    bool hasMoved() const;
    std::int64_t changes() const;
    sqlite3* handle() const { return m_db.get(); }

  private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    struct FileId {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const FileId&) const = default;
    };
    static std::optional<FileId> fileId(const std::string& path);

    std::unique_ptr<sqlite3, Close> m_db;
    std::string m_path; // as SQLite opened it, empty for a database in memory
    FileId m_file;
    std::vector<std::pair<std::string, FileId>> m_logFiles; // the log and its index, in WAL mode
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
