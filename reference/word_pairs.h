#pragma once

#include "common/string_hash.h"
#include "common/word_counts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scrivlet {

class SqliteDatabase;

// How often each entry name followed a word: `DUP` then `#0=`, `::` then `CK1NOLASTWD`. The
// previous word is any word of code (a structure word, a number, a name of the file's own); the
// next is the name of an entry. Words and names are held as the editor's bytes (Windows-1252).
class WordPairs final {
  public:
    void add(std::string_view previous, std::string_view next, std::uint64_t times = 1);
    // The names that followed `previous`, with their counts; none when nothing did.
    const WordCounts* followers(std::string_view previous) const;
    std::size_t size() const { return m_size; }

  private:
    std::unordered_map<std::string, WordCounts, TransparentStringHash, std::equal_to<>>
        m_byPrevious;
    std::size_t m_size = 0; // distinct pairs
};

// One pair with its uses, as the entry database holds it (UTF-8, like the entries' names).
struct CountedPair {
    std::string previous;
    std::string next;
    std::uint64_t uses = 0;
    bool operator==(const CountedPair&) const = default;
};

// The entry database keeps the pairs in the table entry_pairs(previous, next, uses) beside
// entries, whose shape stays as it is. A database without the table has no pairs.
inline constexpr const char* kPairTable = "entry_pairs";

// Every pair of the database, as editor bytes. SqliteError when the table cannot be read.
WordPairs readWordPairs(SqliteDatabase& db);

// Adds the uses to the pairs of the database, creating the table (and a pair) where there is
// none yet. Runs inside the caller's transaction, if any. SqliteError on failure.
void addWordPairs(SqliteDatabase& db, const std::vector<CountedPair>& pairs);

} // namespace scrivlet
