#include "reference/entry_source.h"

#include "common/ascii.h"

#include "reference/sqlite_database.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace scrivlet {
namespace {

constexpr std::array<const char*, 5> kRequiredColumns = {"id", "name", "addr", "description", "usg"};

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

RefreshResult failure(const std::string& path, const std::string& reason)
{
    return {RefreshResult::Status::Failed,
            "The entry database " + path + " could not be read:\n" + reason +
                "\nThe reference list stays empty."};
}

} // namespace

std::string dataSourcePath(const std::string& connectionString)
{
    std::string path;
    std::size_t pos = 0;
    while (pos <= connectionString.size()) {
        std::size_t end = connectionString.find(';', pos);
        if (end == std::string::npos)
            end = connectionString.size();
        const std::string part = connectionString.substr(pos, end - pos);
        const auto eq = part.find('=');
        if (eq != std::string::npos) {
            std::string key = part.substr(0, eq);
            key = asciiLower(key);
            if (key == "data source")
                path = part.substr(eq + 1);
        }
        pos = end + 1;
    }
#ifndef _WIN32
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
#endif
    return path;
}

EntrySource::EntrySource() = default;
EntrySource::~EntrySource()
{
    close();
}

void EntrySource::setConnectionString(std::string connectionString)
{
    m_connectionString = std::move(connectionString);
}

void EntrySource::setRecordSource(std::string sql)
{
    m_recordSource = std::move(sql);
}

bool EntrySource::isReadOnly() const
{
    return m_db && m_db->isReadOnly();
}

void EntrySource::close()
{
    // Leave the file in its ordinary journal mode, so that it stays readable where it cannot
    // be written (a read-only copy, a read-only medium). Another running copy may still use
    // the log; then it stays until that copy closes.
    if (m_db && m_writeAheadLog) {
        try {
            m_db->exec("PRAGMA journal_mode=DELETE");
        } catch (const SqliteError&) {
        }
    }
    m_writeAheadLog = false;
    m_recordset = EntryRecordset();
    m_db.reset();
}

RefreshResult EntrySource::refresh()
{
    close();
    std::error_code absoluteError;
    const auto absolute = std::filesystem::absolute(databasePath(), absoluteError);
    m_openedPath = absoluteError ? databasePath() : absolute.lexically_normal().string();
    const std::string& path = m_openedPath;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return failure(path, "the file does not exist.");
    if (!std::filesystem::is_regular_file(status))
        return failure(path, "it is not a file.");
    if (std::filesystem::file_size(path, ec) == 0)
        return failure(path, "the file is empty.");

    try {
        auto db = std::make_unique<SqliteDatabase>(path, SqliteDatabase::OpenMode::ExistingOnly);
        if (!db->hasTable("entries"))
            return failure(path, "it has no table \"entries\".");
        auto stmt = db->prepare(m_recordSource);
        std::vector<std::string> columns;
        for (int c = 0; c < stmt.columnCount(); ++c)
            columns.push_back(stmt.columnName(c));
        const EntryRecordset probe(columns, {}, nullptr);
        for (const char* required : kRequiredColumns) {
            if (probe.columnIndex(required) < 0)
                return failure(path, std::string("its table \"entries\" has no column \"") +
                                         required + "\".");
        }
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
                else
                    row.emplace_back(stmt.text(c));
            }
            rows.push_back(std::move(row));
        }
        m_db = std::move(db);
        m_recordset = EntryRecordset(std::move(columns), std::move(rows), this);
        // A counted use is one durable commit; write-ahead logging makes that one sync of
        // the log instead of several of the file and its journal. A file that cannot take
        // it (read-only, or on a file system without shared memory) keeps its own mode.
        if (!m_db->isReadOnly()) {
            try {
                m_db->exec("PRAGMA journal_mode=WAL");
                m_writeAheadLog = true;
            } catch (const SqliteError&) {
            }
        }
    } catch (const SqliteError& e) {
        close();
        return failure(path, std::string(e.what()) + ".");
    }
    if (m_db->isReadOnly()) {
        return {RefreshResult::Status::ReadOnly,
                "The entry database " + path +
                    " is read-only:\nusage counts cannot be saved while it stays so."};
    }
    return {};
}

WriteResult EntrySource::writeInteger(std::int64_t id, std::string_view column, std::int64_t value)
{
    if (!m_db)
        return {false, 0, "the entry database is not open"};
    try {
        auto stmt = m_db->prepare("UPDATE entries SET " + quoteIdentifier(column) + " = ?1 WHERE id = ?2");
        stmt.bind(1, value);
        stmt.bind(2, id);
        stmt.step();
        if (m_db->changes() != 1)
            return {false, 0, "the entry is no longer in the database"};
        return {true, value, {}};
    } catch (const SqliteError& e) {
        return {false, 0, e.what()};
    }
}

WriteResult EntrySource::addToInteger(std::int64_t id, std::string_view column, std::int64_t delta)
{
    if (!m_db)
        return {false, 0, "the entry database is not open"};
    try {
        SqliteTransaction transaction(*m_db);
        const std::string name = quoteIdentifier(column);
        auto update = m_db->prepare("UPDATE entries SET " + name + " = coalesce(" + name +
                                    ", 0) + ?1 WHERE id = ?2");
        update.bind(1, delta);
        update.bind(2, id);
        update.step();
        if (m_db->changes() != 1)
            return {false, 0, "the entry is no longer in the database"};
        auto read = m_db->prepare("SELECT " + name + " FROM entries WHERE id = ?1");
        read.bind(1, id);
        const std::int64_t value = read.step() ? read.integer(0) : 0;
        transaction.commit();
        return {true, value, {}};
    } catch (const SqliteError& e) {
        return {false, 0, e.what()};
    }
}

} // namespace scrivlet
