#pragma once

#include "reference/entry_recordset.h"

#include <memory>
#include <string>

namespace scrivlet {

class SqliteDatabase;

// The design-time settings of the entry data source.
inline constexpr const char* kDatabaseFileName = "entries97.mdb";
inline constexpr const char* kStartupConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=entries97.mdb;Persist Security Info=False";
inline constexpr const char* kStartupRecordSource = "SELECT * FROM entries ORDER BY usg DESC, name";

// The "Data Source" part of a connection string, as a path of this system: backslashes become
// the directory separator, so "/home/u\entries97.mdb" names entries97.mdb in /home/u.
std::string dataSourcePath(const std::string& connectionString);

// What a refresh found.
struct RefreshResult {
    enum class Status {
        Ok,
        ReadOnly, // rows read, but the file does not take writes
        Failed,   // no rows: the file is missing, unreadable, not a database, or lacks the table
    };
    Status status = Status::Ok;
    std::string message; // names the file and the reason (ReadOnly and Failed)
};

// The entry data source: a connection string and a query; refresh() reconnects, runs the query
// and makes the first row current. Bad files give an empty recordset and a message, never a
// crash, and are never created or changed.
class EntrySource final : private RowWriter {
public:
    EntrySource();
    ~EntrySource() override;
    EntrySource(const EntrySource&) = delete;
    EntrySource& operator=(const EntrySource&) = delete;

    void setConnectionString(std::string connectionString);
    const std::string& connectionString() const { return m_connectionString; }
    void setRecordSource(std::string sql);
    const std::string& recordSource() const { return m_recordSource; }
    // The file the connection string names.
    std::string databasePath() const { return dataSourcePath(m_connectionString); }

    RefreshResult refresh();
    // The full path of the file the last refresh read (or tried to), for messages.
    const std::string& openedPath() const { return m_openedPath; }
    EntryRecordset& recordset() { return m_recordset; }
    const EntryRecordset& recordset() const { return m_recordset; }
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const;

private:
    WriteResult writeInteger(std::int64_t id, std::string_view column, std::int64_t value) override;
    WriteResult addToInteger(std::int64_t id, std::string_view column, std::int64_t delta) override;
    void close();

    std::string m_connectionString = kStartupConnectionString;
    std::string m_recordSource = kStartupRecordSource;
    std::unique_ptr<SqliteDatabase> m_db;
    bool m_writeAheadLog = false;
    std::string m_openedPath;
    EntryRecordset m_recordset;
};

} // namespace scrivlet
