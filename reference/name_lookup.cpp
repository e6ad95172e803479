#include "reference/name_lookup.h"

#include "common/windows1252.h"
#include "common/word_counts.h"

namespace scrivlet {
namespace {

bool isAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The row called exactly by the text's word, whose bytes the entry database holds as UTF-8.
std::optional<std::size_t> rowNamedBy(const EntryRecordset& rows, std::string_view word)
{
    if (isAscii(word))
        return rows.firstRowNamed(word);
    return rows.firstRowNamed(utf8FromWindows1252(word));
}

} // namespace

std::optional<std::size_t> lookUpName(const EntryRecordset& rows, std::string_view word,
                                      TextWords text)
{
    if (const std::optional<std::size_t> exact = rowNamedBy(rows, word))
        return exact;
    const std::optional<std::size_t> first = rows.firstRowWithPrefix(utf8FromWindows1252(word));
    if (!first || !text.counts)
        return first;
    std::optional<std::size_t> best;
    std::uint64_t bestCount = 0;
    // ASCII folding keeps its prefixes through the step to UTF-8, so the words visited here are
    // exactly those whose names the prefix search would find.
    text.counts->forEachWithPrefix(word, [&](std::string_view candidate, std::uint64_t count) {
        if (candidate == text.atCaret)
            --count;
        if (count == 0 || count < bestCount)
            return;
        const std::optional<std::size_t> row = rowNamedBy(rows, candidate);
        if (row && (count > bestCount || *row < *best)) {
            best = row;
            bestCount = count;
        }
    });
    return best ? best : first;
}

} // namespace scrivlet
