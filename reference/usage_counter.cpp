#include "reference/usage_counter.h"

#include "reference/table_formats.h"
#include "reference/table_lines.h"

#include <algorithm>
#include <unordered_set>

namespace scrivlet {
namespace {

bool isSourceSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

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
    SourceCount result;
    std::size_t line = 1;
    std::size_t commentLine = 0; // line of the open ( while inside a comment, else 0
    std::size_t pos = 0;
    const std::size_t size = text.size();
    const auto skipCommentLine = [&] {
        if (commentLine == 0 && pos < size && text[pos] == '*') {
            const std::size_t end = text.find('\n', pos);
            pos = end == std::string_view::npos ? size : end;
        }
    };
    skipCommentLine();
    while (pos < size) {
        const char c = text[pos];
        if (c == '\n') {
            ++line;
            ++pos;
            skipCommentLine();
            continue;
        }
        if (isSourceSeparator(c)) {
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        while (pos < size && !isSourceSeparator(text[pos]))
            ++pos;
        const std::string_view token = text.substr(start, pos - start);
        if (commentLine != 0) {
            if (token.back() == ')')
                commentLine = 0;
        } else if (token == "(") {
            commentLine = line;
        } else if (add(token, 1)) {
            ++result.uses;
        }
    }
    result.unclosedCommentLine = commentLine;
    return result;
}

UsageCounter::ListingCount UsageCounter::countListing(std::string_view text)
{
    ListingCount result;
    std::unordered_set<std::string> unknown;
    bool started = false;
    bool closed = false;
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
    forEachLine(text, [&](std::size_t, std::string_view line) {
        const std::string_view trimmed = trimBlanks(line);
        if (!started) {
            started = trimmed == kListingMarker;
            return;
        }
        if (closed || trimmed.empty())
            return;
        if (trimmed.find(kListingEnd) != std::string_view::npos) {
            closed = true;
            return;
        }
        const auto words = splitWords(trimmed);
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
