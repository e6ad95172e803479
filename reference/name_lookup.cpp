#include "reference/name_lookup.h"

#include "common/windows1252.h"
#include "common/word_counts.h"
#include "reference/word_pairs.h"

#include <tuple>

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

struct Weights {
    std::uint64_t inText = 0;
    std::uint64_t afterPrevious = 0;
};

// Names that followed the previous word more often first, then names the text holds more often.
std::tuple<std::uint64_t, std::uint64_t> rankOf(const Weights& w)
{
    return {w.afterPrevious, w.inText};
}

} // namespace

std::optional<std::size_t> lookUpName(const EntryRecordset& rows, std::string_view word,
                                      TextWords text, PreviousWord previous)
{
    if (const std::optional<std::size_t> exact = rowNamedBy(rows, word))
        return exact;
    const std::optional<std::size_t> first = rows.firstRowWithPrefix(utf8FromWindows1252(word));
    const WordCounts* followers = previous.pairs && !previous.word.empty()
                                      ? previous.pairs->followers(previous.word)
                                      : nullptr;
    if (!first || (!text.counts && !followers))
        return first;
    // ASCII folding keeps its prefixes through the step to UTF-8, so the words visited here are
    // exactly those whose names the prefix search would find.
    std::optional<std::size_t> best;
    std::tuple<std::uint64_t, std::uint64_t> bestRank{0, 0};
    const auto consider = [&](std::string_view candidate, const Weights& weights) {
        const auto rank = rankOf(weights);
        if (rank == std::tuple<std::uint64_t, std::uint64_t>{0, 0} || rank < bestRank)
            return;
        const std::optional<std::size_t> row = rowNamedBy(rows, candidate);
        if (row && (rank > bestRank || *row < *best)) {
            best = row;
            bestRank = rank;
        }
    };
    const auto inText = [&](std::string_view candidate) -> std::uint64_t {
        if (!text.counts)
            return 0;
        const std::uint64_t count = text.counts->count(candidate);
        return count - (count > 0 && candidate == text.atCaret ? 1 : 0);
    };
    if (followers) {
        followers->forEachWithPrefix(word, [&](std::string_view candidate, std::uint64_t count) {
            consider(candidate, {inText(candidate), count});
        });
    }
    // A name that followed the previous word beats every name that did not: the text's words
    // are visited only when no name did.
    if (!best && text.counts) {
        text.counts->forEachWithPrefix(word, [&](std::string_view candidate, std::uint64_t count) {
            consider(candidate, {count - (candidate == text.atCaret ? 1 : 0), 0});
        });
    }
    return best ? best : first;
}

} // namespace scrivlet
