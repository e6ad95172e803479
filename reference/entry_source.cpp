#include "reference/entry_source.h"

#include "common/windows1252.h"
#include "reference/entry_schema.h"
#include "reference/sqlite_database.h"

#include <filesystem>
#include <numeric>
#include <optional>
#include <system_error>

namespace scrivlet {
namespace {

std::string quoteIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

// While it lives, the connection waits longer for a lock that another program holds.
class LongerBusyWait final {
  public:
    LongerBusyWait(SqliteDatabase& db, std::chrono::milliseconds wait) : m_db(db)
    {
        m_db.setBusyTimeout(wait);
    }
    ~LongerBusyWait()
    {
        try {
            m_db.setBusyTimeout(SqliteDatabase::kDefaultBusyWait);
        } catch (const SqliteError&) {
        }
    }
    LongerBusyWait(const LongerBusyWait&) = delete;
    LongerBusyWait& operator=(const LongerBusyWait&) = delete;

  private:
    SqliteDatabase& m_db;
};

// The reason a file cannot be the entry database before SQLite is asked, if there is one.
std::optional<std::string> fileProblem(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return "the file does not exist.";
    if (!std::filesystem::is_regular_file(status))
        return "it is not a file.";
    if (std::filesystem::file_size(path, ec) == 0)
        return "the file is empty.";
    return std::nullopt;
}

// Why the database lacks what the entry list needs, if it does. Throws SqliteError.
std::optional<std::string> schemaProblem(SqliteDatabase& db)
{
    const SchemaCheck schema = checkEntrySchema(db);
    if (schema.problem == SchemaCheck::Problem::NoTable)
        return "it has no table \"entries\".";
    if (schema.problem == SchemaCheck::Problem::NoColumn)
        return "its table \"entries\" has no column \"" + std::string(schema.column) + "\".";
    return std::nullopt;
}

} // namespace

EntrySource::EntrySource() = default;

EntrySource::~EntrySource()
{
    m_waitingObserver = nullptr;
    close();
}

RefreshResult EntrySource::open(const std::string& databasePath)
{
    return refresh(databasePath, kStartupRecordSource);
}

RefreshResult EntrySource::sortBy(SortOrder order, const std::string& databasePath)
{
    return refresh(databasePath, recordSource(order));
}

bool EntrySource::isReadOnly() const
{
    return m_db && m_db->isReadOnly();
}

RefreshResult EntrySource::refresh(const std::string& databasePath, std::string_view query)
{
    m_databasePath = databasePath;
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(databasePath, ec);
    const std::string path = ec ? databasePath : absolute.lexically_normal().string();
    RefreshResult result{RefreshResult::Status::Ok, path, {}, {}};
    // A read-only connection is not kept: the file may take writes by now.
    const bool sameFile = m_db && !m_db->isReadOnly() && path == m_openedPath && !m_db->hasMoved();
    if (!sameFile)
        result.usesLost = close();
    m_recordset = EntryRecordset();
    m_openedPath = path;

    const auto failure = [&](std::string reason) {
        const UsesNotCounted lost = close();
        if (lost.uses > 0)
            result.usesLost = {result.usesLost.uses + lost.uses, lost.reason};
        result.status = RefreshResult::Status::Failed;
        result.reason = std::move(reason);
        return result;
    };
    if (auto problem = fileProblem(path))
        return failure(std::move(*problem));
    try {
        if (!sameFile)
            m_db = std::make_unique<SqliteDatabase>(path, SqliteDatabase::OpenMode::ExistingOnly);
        if (auto problem = schemaProblem(*m_db))
            return failure(std::move(*problem));
        readRows(query);
    } catch (const SqliteError& e) {
        return failure(std::string(e.what()) + ".");
    }
    if (!sameFile)
        useWriteAheadLog();
    if (m_db->isReadOnly())
        result.status = RefreshResult::Status::ReadOnly;
    return result;
}

void EntrySource::useWriteAheadLog()
{
    // A counted use is one durable commit; write-ahead logging makes that one sync of the log
    // instead of several of the file and its journal. A file that cannot take it (read-only, or
    // on a file system without shared memory) keeps its own mode.
    if (m_db->isReadOnly())
        return;
    try {
        m_writeAheadLog = m_db->setJournalMode("wal") == "wal";
    } catch (const SqliteError&) {
    }
}

std::string EntrySource::followReplacedFile()
{
    if (m_db && !m_db->hasMoved())
        return {};
    if (!m_db && !m_fileReplaced)
        return "the entry database is not open";
    // The log at the path belongs to the file that was open: it goes with that connection before
    // the file now at the path is opened, or the new file would be read through it.
    disconnect();
    m_fileReplaced = true;
    if (auto problem = fileProblem(m_openedPath))
        return std::move(*problem);
    try {
        auto db =
            std::make_unique<SqliteDatabase>(m_openedPath, SqliteDatabase::OpenMode::ExistingOnly);
        if (auto problem = schemaProblem(*db))
            return std::move(*problem);
        m_db = std::move(db);
    } catch (const SqliteError& e) {
        return std::string(e.what()) + ".";
    }
    m_fileReplaced = false;
    useWriteAheadLog();
    return {};
}

void EntrySource::readRows(std::string_view query)
{
    m_recordset = readEntryRows(*m_db, query, this);
}

EntryRecordset readEntryRows(SqliteDatabase& db, std::string_view query, RowWriter* writer)
{
    auto stmt = db.prepare(query);
    std::vector<std::string> columns;
    for (int c = 0; c < stmt.columnCount(); ++c)
        columns.push_back(stmt.columnName(c));
    std::vector<std::vector<FieldValue>> rows;
    while (stmt.step()) {
        std::vector<FieldValue> row;
        row.reserve(columns.size());
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            if (stmt.isNull(c))
                row.emplace_back(std::monostate{});
            else if (stmt.isInteger(c))
                row.emplace_back(stmt.integer(c));
            else if (stmt.isReal(c))
                row.emplace_back(stmt.real(c));
            else // older databases hold Windows-1252 text
                row.emplace_back(decodeUtf8OrWindows1252(stmt.text(c)));
        }
        rows.push_back(std::move(row));
    }
    return EntryRecordset(std::move(columns), std::move(rows), writer);
}

UsesNotCounted EntrySource::close()
{
    const UsesNotCounted lost = flushWaitingUses();
    if (lost.uses > 0) {
        m_waiting.clear();
        waitingChanged(lost.uses);
    }
    disconnect();
    m_fileReplaced = false;
    m_recordset = EntryRecordset();
    return lost;
}

void EntrySource::disconnect()
{
    // Leave the file in its ordinary journal mode, so that it stays readable where it cannot be
    // written (a read-only copy, a read-only medium). Another running copy may still use the
    // log; then SQLite keeps it until that copy closes. A file that moved away is left as it is:
    // the change would remove the log at the path, which may be the log of the file there now.
    if (m_db && m_writeAheadLog && !m_db->hasMoved()) {
        try {
            m_db->setJournalMode("delete");
        } catch (const SqliteError&) {
        }
    }
    m_writeAheadLog = false;
    m_db.reset();
}

std::uint64_t EntrySource::usesWaiting() const
{
    return std::accumulate(m_waiting.begin(), m_waiting.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const auto& entry) { return sum + entry.second; });
}

void EntrySource::waitingChanged(std::uint64_t before)
{
    if (usesWaiting() != before && m_waitingObserver)
        m_waitingObserver();
}

UsesNotCounted EntrySource::flushWaitingUses()
{
    if (m_waiting.empty() || (!m_db && !m_fileReplaced))
        return {};
    const std::uint64_t before = usesWaiting();
    const Written written = writeWaitingUses();
    waitingChanged(before);
    return {usesWaiting(), written.error};
}

void EntrySource::discardWaitingUses()
{
    const std::uint64_t before = usesWaiting();
    m_waiting.clear();
    waitingChanged(before);
}

EntrySource::Written EntrySource::writeWaitingUses()
{
    Written out;
    if (std::string problem = followReplacedFile(); !problem.empty()) {
        out.error = std::move(problem);
        return out;
    }
    try {
        const LongerBusyWait wait(*m_db, m_useWait);
        SqliteTransaction transaction(*m_db);
        auto add = m_db->prepare("UPDATE entries SET usg = coalesce(usg, 0) + ?1 WHERE id = ?2");
        auto read = m_db->prepare("SELECT usg FROM entries WHERE id = ?1");
        for (const auto& [id, uses] : m_waiting) {
            add.bind(1, uses);
            add.bind(2, id);
            add.step();
            add.reset();
            if (m_db->changes() != 1)
                continue; // the entry is gone from the file
            read.bind(1, id);
            out.counts[id] = read.step() ? read.integer(0) : 0;
            read.reset();
        }
        transaction.commit();
    } catch (const SqliteError& e) {
        out.counts.clear();
        out.error = e.what();
        return out;
    }
    m_waiting.clear();
    for (const auto& [id, count] : out.counts)
        m_recordset.takeValueFromFile(id, "usg", count);
    return out;
}

WriteResult EntrySource::countUse(std::int64_t id)
{
    if (!m_db && !m_fileReplaced)
        return {false, false, 0, "the entry database is not open"};
    const std::uint64_t before = usesWaiting();
    ++m_waiting[id];
    const Written written = writeWaitingUses();
    if (written.error.empty()) {
        waitingChanged(before);
        const auto it = written.counts.find(id);
        if (it == written.counts.end())
            return {false, false, 0, "the entry is no longer in the database", true};
        return {true, false, it->second, {}};
    }
    if (m_db && m_db->isReadOnly()) {
        if (--m_waiting[id] == 0)
            m_waiting.erase(id);
        return {false, false, 0, written.error};
    }
    waitingChanged(before);
    return {true, true, 0, written.error};
}

WriteResult EntrySource::writeInteger(std::int64_t id, std::string_view column, std::int64_t value)
{
    if (std::string problem = followReplacedFile(); !problem.empty())
        return {false, false, 0, problem};
    try {
        auto stmt =
            m_db->prepare("UPDATE entries SET " + quoteIdentifier(column) + " = ?1 WHERE id = ?2");
        stmt.bind(1, value);
        stmt.bind(2, id);
        stmt.step();
        if (m_db->changes() != 1)
            return {false, false, 0, "the entry is no longer in the database"};
        return {true, false, value, {}};
    } catch (const SqliteError& e) {
        return {false, false, 0, e.what()};
    }
}

} // namespace scrivlet
