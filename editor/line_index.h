#pragma once

#include "common/gap_array.h"

#include <cstdint>
#include <utility>

namespace scrivlet {

// The line breaks of a byte text: the offset of the CR of every CR LF pair, in order. A lone CR
// or a lone LF is no line break. Line k starts after the k-th break (line 0 at offset 0) and
// ends at the (k+1)-th break, or at the end of the text on the last line.
//
// The breaks live in a gap array: those before its gap as offsets from the start of the text,
// those after it as offsets from the end of the text (negative). An edit moves the gap to its
// place, so only the breaks it removes or adds are written, and the breaks after it shift with
// the text's length without being touched. Look-ups are binary searches.
class LineIndex final {
  public:
    // What an update did: lines [line, line + removedBreaks] of the old text became lines
    // [line, line + insertedBreaks] of the new one; the lines before and after are unchanged.
    struct Update {
        std::int64_t line = 0;
        std::int64_t removedBreaks = 0;
        std::int64_t insertedBreaks = 0;
    };

    // Indexes the whole text.
    void reset(const GapArray<char>& bytes);
    // After bytes [from, from + removed) of the old text were replaced by `inserted` bytes:
    // `bytes` is the new text. A CR and an LF that the edit brought together become a break; a
    // break the edit split or cut into is one no longer.
    Update update(const GapArray<char>& bytes, std::int64_t from, std::int64_t removed,
                  std::int64_t inserted);

    // The lines an update for bytes [from, from + removed) will rewrite: [first, last] of the
    // text as it is now (the line of `first` in the Update).
    std::pair<std::int64_t, std::int64_t> linesTouched(std::int64_t from,
                                                       std::int64_t removed) const;

    std::int64_t lineCount() const { return static_cast<std::int64_t>(m_breaks.size()) + 1; }
    // The line that holds the offset; an offset between the CR and the LF of a break belongs to
    // the line that the break ends. Offsets past the end belong to the last line.
    std::int64_t lineOf(std::int64_t offset) const;
    // The first offset of a line, and the offset where its content ends (its break's CR, or the
    // end of the text). Lines are clamped to [0, lineCount).
    std::int64_t lineStart(std::int64_t line) const;
    std::int64_t lineEnd(std::int64_t line) const;

  private:
    std::int64_t breakAt(std::size_t index) const;
    // The index of the first break at or after the offset.
    std::size_t firstBreakFrom(std::int64_t offset) const;
    // Appends the breaks whose CR lies in [from, to), at the gap.
    void scan(const GapArray<char>& bytes, std::int64_t from, std::int64_t to);

    GapArray<std::int64_t> m_breaks;
    std::int64_t m_length = 0;
};

} // namespace scrivlet
