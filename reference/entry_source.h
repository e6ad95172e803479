#pragma once

#include "reference/entry_recordset.h"
#include "reference/sort_order.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace scrivlet {

class SqliteDatabase;

// The name of the entry database file in the start directory.
inline constexpr const char* kDatabaseFileName = "entries97.mdb";

// Counted uses that are not in the database file.
struct UsesNotCounted {
    std::uint64_t uses = 0;
    std::string reason; // why the last write failed (uses > 0)
};

// What a refresh found; the window words its message from these.
struct RefreshResult {
    enum class Status {
        Ok,
        ReadOnly, // rows read, but the file does not take writes
        Failed,   // no rows: the file is missing, unreadable, not a database, or lacks the table
    };
    Status status = Status::Ok;
    std::string path;   // the full path of the file read, or tried
    std::string reason; // Failed: why, as a sentence
    // Uses that were waiting for the file read before and could not be written when it was let go.
    UsesNotCounted usesLost;
};

// The rows a query of the entry database gives, in its order, as a recordset that writes its
// updates through `writer`. Text that is not UTF-8 is read as Windows-1252. Throws SqliteError.
EntryRecordset readEntryRows(SqliteDatabase& db, std::string_view query, RowWriter* writer);

// The entry data source: the database file and a query. open() and sortBy() run the query and
// make the first row current; they connect anew only when the file is another one (or was
// replaced), so the connection and its journal mode stay across sort clicks. Bad files give an
// empty recordset and a reason, never a crash, and are never created or changed.
//
// A counted use waits up to useWait for a database that another program is writing. A use that
// still cannot be written is kept, by entry id, and written with the next use that is counted,
// by flushWaitingUses(), or when the source closes; usesWaiting() says how many there are. A
// read-only database counts nothing and keeps nothing.
//
// Before every write the source makes sure the file at the path is still the one it opened; a
// file put in its place (a restored backup) is opened and written instead. While nothing usable
// is at the path, counted uses wait as for a busy database.
class EntrySource final : private RowWriter {
  public:
    static constexpr std::chrono::milliseconds kUseWait{5000};

    EntrySource();
    ~EntrySource() override;
    EntrySource(const EntrySource&) = delete;
    EntrySource& operator=(const EntrySource&) = delete;

    // Reads the database at path in the start-up order; a relative path is taken from the
    // current directory as it is now.
    RefreshResult open(const std::string& databasePath);
    RefreshResult sortBy(SortOrder order, const std::string& databasePath);
    // The path last given to open() or sortBy().
    const std::string& databasePath() const { return m_databasePath; }
    // The full path of the file the last refresh read (or tried to), for messages.
    const std::string& openedPath() const { return m_openedPath; }
    EntryRecordset& recordset() { return m_recordset; }
    const EntryRecordset& recordset() const { return m_recordset; }
    bool isReadOnly() const;

    std::uint64_t usesWaiting() const;
    // Writes the uses kept waiting (waiting up to useWait); says what is still not written.
    UsesNotCounted flushWaitingUses();
    // Gives up the uses still waiting, once the user has been told they could not be counted,
    // so that closing does not wait for the database once more.
    void discardWaitingUses();
    // Called whenever usesWaiting() changes.
    void setUsesWaitingObserver(std::function<void()> observer)
    {
        m_waitingObserver = std::move(observer);
    }
    void setUseWait(std::chrono::milliseconds wait) { m_useWait = wait; }

  private:
    struct Written {
        std::map<std::int64_t, std::int64_t> counts; // id -> the count the file now holds
        std::string error;                           // empty when the write succeeded
    };

    RefreshResult refresh(const std::string& databasePath, std::string_view query);
    void readRows(std::string_view query);
    Written writeWaitingUses();
    void useWriteAheadLog();
    // Reconnects when the file at the path is no longer the one open; why m_db cannot be
    // written, or empty when it can.
    std::string followReplacedFile();
    UsesNotCounted close();
    void disconnect();
    void waitingChanged(std::uint64_t before);
    WriteResult writeInteger(std::int64_t id, std::string_view column, std::int64_t value) override;
    WriteResult countUse(std::int64_t id) override;

    std::string m_databasePath;
    std::string m_openedPath;
    std::unique_ptr<SqliteDatabase> m_db;
    bool m_writeAheadLog = false;
    bool m_fileReplaced = false; // the file open was replaced, and the path holds no usable one
    EntryRecordset m_recordset;
    std::map<std::int64_t, std::int64_t> m_waiting; // entry id -> uses not yet in the file
    std::function<void()> m_waitingObserver;
    std::chrono::milliseconds m_useWait = kUseWait;
};

} // namespace scrivlet
