#pragma once

#include "common/ascii.h"
#include "common/string_hash.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace scrivlet {

// What separates the words of a source when they are counted: space, Tab, CR and LF.
constexpr bool isCountedWordSeparator(char c)
{
    return isSpaceTabOrLineBreak(c);
}

// Calls visit(word) for every word of the bytes, in order. A word is a longest run of bytes
// without a separator.
template <class Visit> void forEachWord(std::string_view bytes, Visit&& visit)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        while (i < bytes.size() && isCountedWordSeparator(bytes[i]))
            ++i;
        const std::size_t start = i;
        while (i < bytes.size() && !isCountedWordSeparator(bytes[i]))
            ++i;
        if (i > start)
            visit(bytes.substr(start, i - start));
    }
}

// How often each word occurs in a text, by its exact bytes. The words are also kept in order of
// their letters folded to upper case (ASCII), so that the words beginning with a prefix, letter
// case ignored, are found together without visiting the others.
//
// Invariant: every word held has a count of at least 1; the ordered index holds exactly the words
// of the count table, as views of its keys and pointers to its counts (the table's nodes stay
// put while it grows).
class WordCounts final {
  public:
    WordCounts() = default;
    WordCounts(WordCounts&&) = default;
    WordCounts& operator=(WordCounts&&) = default;
    WordCounts(const WordCounts&) = delete;
    WordCounts& operator=(const WordCounts&) = delete;

    void add(std::string_view word);
    // Adds `times` occurrences at once; none adds nothing.
    void add(std::string_view word, std::uint64_t times);
    // Takes one occurrence away; a word that is not counted stays uncounted.
    void remove(std::string_view word);
    void addWords(std::string_view bytes);
    void removeWords(std::string_view bytes);
    void clear();

    std::size_t distinctWords() const { return m_counts.size(); }
    // How often the word occurs; 0 when it does not.
    std::uint64_t count(std::string_view word) const
    {
        const auto it = m_counts.find(word);
        return it == m_counts.end() ? 0 : it->second;
    }

    // Calls visit(word, count) for every word whose bytes, letter case ignored, begin with the
    // prefix, in folded order.
    void forEachWithPrefix(std::string_view prefix,
                           const std::function<void(std::string_view, std::uint64_t)>& visit) const;

    bool operator==(const WordCounts& other) const { return m_counts == other.m_counts; }

  private:
    // By the folded bytes, then by the bytes themselves.
    struct FoldedLess {
        bool operator()(std::string_view a, std::string_view b) const;
    };

    std::unordered_map<std::string, std::uint64_t, TransparentStringHash, std::equal_to<>> m_counts;
    std::map<std::string_view, const std::uint64_t*, FoldedLess> m_byFolded;
};

} // namespace scrivlet
