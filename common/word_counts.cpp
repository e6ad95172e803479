#include "common/word_counts.h"

#include "common/ascii.h"

#include <algorithm>

namespace scrivlet {

bool WordCounts::FoldedLess::operator()(std::string_view a, std::string_view b) const
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(asciiUpper(a[i]));
        const auto y = static_cast<unsigned char>(asciiUpper(b[i]));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

void WordCounts::add(std::string_view word)
{
    add(word, 1);
}

void WordCounts::add(std::string_view word, std::uint64_t times)
{
    if (times == 0)
        return;
    auto it = m_counts.find(word);
    if (it != m_counts.end()) {
        it->second += times;
        return;
    }
    it = m_counts.emplace(std::string(word), times).first;
    m_byFolded.emplace(it->first, &it->second);
}

void WordCounts::remove(std::string_view word)
{
    const auto it = m_counts.find(word);
    if (it == m_counts.end())
        return;
    if (--it->second == 0) {
        m_byFolded.erase(it->first);
        m_counts.erase(it);
    }
}

void WordCounts::addWords(std::string_view bytes)
{
    forEachWord(bytes, [this](std::string_view word) { add(word); });
}

void WordCounts::removeWords(std::string_view bytes)
{
    forEachWord(bytes, [this](std::string_view word) { remove(word); });
}

void WordCounts::clear()
{
    m_byFolded.clear();
    m_counts.clear();
}

void WordCounts::forEachWithPrefix(
    std::string_view prefix,
    const std::function<void(std::string_view, std::uint64_t)>& visit) const
{
    // The upper-case spelling is the least of all spellings that fold alike, so the words that
    // begin with the prefix start at it.
    const std::string key = asciiUpper(prefix);
    for (auto it = m_byFolded.lower_bound(key);
         it != m_byFolded.end() && startsWithNoCase(it->first, key); ++it)
        visit(it->first, *it->second);
}

} // namespace scrivlet
