#include "reference/pair_store.h"

#include "common/windows1252.h"
#include "reference/importer.h"
#include "reference/sqlite_database.h"

#include <filesystem>

namespace scrivlet {

PairStore::PairStore(std::string databasePath) : m_path(std::move(databasePath))
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_path, ec))
        return;
    try {
        // Only an entry database's pairs are read, and only one is ever written.
        auto opened = openEntryDatabase(m_path, SqliteDatabase::OpenMode::ReadOnly);
        if (opened.ok())
            m_pairs = readWordPairs(**opened.value);
    } catch (const SqliteError&) {
        m_pairs = WordPairs();
    }
}

PairStore::~PairStore()
{
    writeWaiting();
}

void PairStore::countUse(std::string_view previous, std::string_view name)
{
    if (previous.empty() || name.empty())
        return;
    m_pairs.add(previous, name);
    m_waiting.push_back({utf8FromWindows1252(previous), utf8FromWindows1252(name), 1});
    writeWaiting();
}

void PairStore::writeWaiting()
{
    if (m_waiting.empty())
        return;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_path, ec))
        return;
    try {
        auto opened = openEntryDatabase(m_path);
        if (!opened.ok())
            return;
        SqliteDatabase& db = **opened.value;
        SqliteTransaction transaction(db);
        addWordPairs(db, m_waiting);
        transaction.commit();
        m_waiting.clear();
    } catch (const SqliteError&) {
        // Busy or read-only: the pairs stay waiting for the next count.
    }
}

} // namespace scrivlet
