#pragma once

#include "common/gap_array.h"
#include "editor/line_highlighter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace scrivlet {

class TextModel;

// The highlighter's state at the start of every line of a text, computed lazily: only up to the
// lines asked for, from the last state known to be right.
//
// Invariants: the states of lines [0, known] are right. After an edit the states of the lines
// after it are kept as candidates: once the state recomputed for such a line equals the kept
// one, every kept state after it is right again (the lines in between are unchanged and the
// highlighter depends only on a line and the state before it), so re-colouring stops there.
// States are kept in a gap array, so adding or removing lines near the last edit moves nothing.
class LineStateCache final {
  public:
    using State = LineHighlighter::State;

    // Forgets everything: `lines` lines, only the first state known.
    void reset(std::int64_t lines, State initial);
    // Lines [line, line + removedBreaks] became [line, line + insertedBreaks].
    void linesChanged(std::int64_t line, std::int64_t removedBreaks, std::int64_t insertedBreaks);

    // Whether the state of the line is known without colouring any line.
    bool isKnown(std::int64_t line) const { return line <= m_known; }
    // The last line whose state is known.
    std::int64_t known() const { return m_known; }
    // Colours at most `budget` lines towards `line`; returns whether the state of `line` is
    // then known.
    bool advance(std::int64_t line, std::int64_t budget, const TextModel& text,
                 const LineHighlighter& highlighter);
    // The state at the start of a known line.
    State state(std::int64_t line) const { return m_states[static_cast<std::size_t>(line)]; }

  private:
    // Lines [first, last] whose kept states are consistent with each other and with the lines
    // from `first` on.
    struct Candidates {
        std::int64_t first = 0;
        std::int64_t last = 0;
    };
    static constexpr std::size_t kMaxCandidates = 8;

    GapArray<State> m_states;
    std::int64_t m_known = 0;
    std::vector<Candidates> m_candidates;
    std::vector<StyleSpan> m_spans;
    std::string m_scratch;
};

} // namespace scrivlet
