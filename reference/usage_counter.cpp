#include "reference/usage_counter.h"

#include "common/windows1252.h"
#include "reference/table_formats.h"
#include "reference/table_lines.h"
#include "rpl/source_words.h"

#include <algorithm>
#include <unordered_set>

namespace scrivlet {
UsageCounter::UsageCounter(std::vector<std::string> names)
    : m_names(std::move(names)), m_counts(m_names.size(), 0)
{
    m_index.reserve(m_names.size());
    for (std::size_t i = 0; i < m_names.size(); ++i)
        m_index.try_emplace(m_names[i], i);
}

bool UsageCounter::add(std::string_view name, std::uint64_t n)
{
    const auto it = m_index.find(name);
    if (it == m_index.end())
        return false;
    m_counts[it->second] += n;
    return true;
}

UsageCounter::SourceCount UsageCounter::countSource(std::string_view text)
{
    // The lexer reads the editor's bytes (« is AB there, while in UTF-8 AB may end another
    // character), so the text is lexed as Windows-1252 and each word compared as UTF-8 again.
    SourceCount result;
    const std::string bytes = windows1252FromUtf8(text);
    const auto scan = forEachSourceWord(bytes, [&](std::string_view word) {
        const bool ascii = std::all_of(word.begin(), word.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii ? add(word, 1) : add(utf8FromWindows1252(word), 1))
            ++result.uses;
    });
    result.unclosedCommentLine = scan.unclosedCommentLine;
    return result;
}

UsageCounter::ListingCount UsageCounter::countListing(std::string_view text)
{
    ListingCount result;
    std::unordered_set<std::string> unknown;
    std::string_view user; // the name of the last use line, empty after any other line
    const auto count = [&](std::string_view name, std::uint64_t references) {
        if (references == 0)
            return;
        if (add(name, references)) {
            result.uses += references;
            return;
        }
        result.unknownUses += references;
        if (unknown.emplace(name).second)
            result.unknownNames.emplace_back(name);
    };
    forEachListingLine(text, [&](std::size_t, const std::vector<std::string_view>& words) {
        const bool useOrDefinition = words.size() >= 2 && (words[1] == "*" || words[1] == "=");
        // Names may begin with + (+LOOP); a continuation line holds references only.
        if (words[0].front() == '+' && !useOrDefinition) {
            // "+ REF REF" or "+REF REF": every word but the bare plus sign is a reference.
            const std::size_t references = words.size() - (words[0] == "+" ? 1 : 0);
            if (!user.empty())
                count(user, references);
            return;
        }
        user = {};
        if (words.size() < 2 || words[1] != "*")
            return;
        const auto dash = std::find(words.begin() + 2, words.end(), "-");
        if (dash == words.end())
            return;
        user = words[0];
        count(user, static_cast<std::uint64_t>(words.end() - dash - 1));
    });
    return result;
}

} // namespace scrivlet
