#pragma once

#include "common/word_counts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace scrivlet {

class TextModel;

// Keeps the whole-word counts of an editor text (words separated by space, Tab, CR and LF) as
// the text changes, without reading more than the words a change touches: before a change the
// words around the bytes about to be replaced are taken away, after it the words that now
// stand there are added.
//
// A text too large to count on one key is counted in pieces, from the start: countMore() goes
// on from where the last piece ended. Invariant: the words before pendingFrom() are counted,
// the words from it on are not, and no word crosses it. Until the counting is complete the
// counts describe the start of the text only; changes inside the part still to count need no
// work, and a change that reaches into it from the counted part moves the boundary back to the
// start of that change. A change whose words run over largeChange bytes starts the counting
// afresh rather than freezing the key that made it (a whole new text, a large paste).
class TextWordCounter final {
  public:
    static constexpr std::int64_t kLargeChange = 1 << 20;

    explicit TextWordCounter(std::int64_t largeChange = kLargeChange) : m_largeChange(largeChange)
    {
    }

    const WordCounts& counts() const { return m_counts; }
    // Where the text still to count begins; nothing when the counts are complete.
    std::optional<std::int64_t> pendingFrom() const { return m_pendingFrom; }

    // Forgets the counts; the whole text is to be counted again.
    void restart();
    // Counts about `bytes` more of the text still to count (up to the end of the word reached).
    void countMore(const TextModel& text, std::int64_t bytes);

    // Bytes [from, to) of the text are about to be replaced.
    void aboutToChange(const TextModel& text, std::int64_t from, std::int64_t to);
    // The bytes announced were replaced: `removed` of them by `inserted` new ones.
    void changed(const TextModel& text, std::int64_t removed, std::int64_t inserted);

  private:
    std::int64_t m_largeChange;
    WordCounts m_counts;
    std::optional<std::int64_t> m_pendingFrom = 0;
    // The words a change in progress rewrites: from m_extentStart to m_extentTail bytes before
    // the end of the text; nothing when the change leaves the counts to countMore().
    std::optional<std::int64_t> m_extentStart;
    std::int64_t m_extentTail = 0;
    std::string m_scratch;
};

} // namespace scrivlet
