#include "reference/word_pairs.h"

#include "common/windows1252.h"
#include "reference/sqlite_database.h"

namespace scrivlet {
namespace {

bool hasPairTable(SqliteDatabase& db)
{
    auto select = db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    select.bind(1, std::string_view(kPairTable));
    return select.step();
}

} // namespace

void WordPairs::add(std::string_view previous, std::string_view next, std::uint64_t times)
{
    if (times == 0)
        return;
    auto it = m_byPrevious.find(previous);
    if (it == m_byPrevious.end())
        it = m_byPrevious.emplace(std::string(previous), WordCounts()).first;
    const std::size_t before = it->second.distinctWords();
    it->second.add(next, times);
    m_size += it->second.distinctWords() - before;
}

const WordCounts* WordPairs::followers(std::string_view previous) const
{
    const auto it = m_byPrevious.find(previous);
    return it == m_byPrevious.end() ? nullptr : &it->second;
}

WordPairs readWordPairs(SqliteDatabase& db)
{
    WordPairs pairs;
    if (!hasPairTable(db))
        return pairs;
    auto select = db.prepare(std::string("SELECT previous, next, uses FROM ") + kPairTable +
                             " WHERE uses > 0");
    while (select.step())
        pairs.add(windows1252FromUtf8(select.text(0)), windows1252FromUtf8(select.text(1)),
                  static_cast<std::uint64_t>(select.integer(2)));
    return pairs;
}

void addWordPairs(SqliteDatabase& db, const std::vector<CountedPair>& pairs)
{
    const std::string table = kPairTable;
    db.exec("CREATE TABLE IF NOT EXISTS " + table +
            " (previous TEXT NOT NULL, next TEXT NOT NULL, uses INTEGER NOT NULL DEFAULT 0,"
            " PRIMARY KEY (previous, next))");
    auto upsert = db.prepare("INSERT INTO " + table +
                             " (previous, next, uses) VALUES (?1, ?2, ?3)"
                             " ON CONFLICT (previous, next) DO UPDATE SET uses = uses + ?3");
    for (const CountedPair& pair : pairs) {
        if (pair.uses == 0)
            continue;
        upsert.bind(1, std::string_view(pair.previous));
        upsert.bind(2, std::string_view(pair.next));
        upsert.bind(3, static_cast<std::int64_t>(pair.uses));
        upsert.step();
        upsert.reset();
    }
}

} // namespace scrivlet
