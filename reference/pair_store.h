#pragma once

#include "reference/word_pairs.h"

#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The pairs of the window's entry database, read once when the window opens it, and the pairs
// of the names written from the list since, each counted at once in the database too. While
// another program writes the database the pairs wait and go with the next count, or when the
// store closes; a database that cannot be read gives no pairs and the window works on without.
class PairStore final {
  public:
    explicit PairStore(std::string databasePath);
    ~PairStore();
    PairStore(const PairStore&) = delete;
    PairStore& operator=(const PairStore&) = delete;

    const WordPairs& pairs() const { return m_pairs; }
    // One more use of `name` right after `previous` (editor bytes); nothing without a previous
    // word.
    void countUse(std::string_view previous, std::string_view name);
    // Pairs counted in memory that the database does not hold yet.
    std::size_t waiting() const { return m_waiting.size(); }

  private:
    void writeWaiting();

    std::string m_path;
    WordPairs m_pairs;
    std::vector<CountedPair> m_waiting; // UTF-8, as the database holds them
};

} // namespace scrivlet
