#pragma once

#include "common/gap_array.h"
#include "rpl/defined_names.h"
#include "rpl/lines.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The names an editor's text defines, kept up to date line by line as the text changes, and
// filled a piece at a time so that no call walks a large text at once.
//
// Each line keeps the lexer state it was scanned with and the definitions found on it. An edit
// forgets the records of the lines it touched; scan() then goes on from the first line not known
// to be right, lexing only lines that are new or whose starting state changed, and stops as soon
// as a line starts in the state it was scanned with and nothing after it was touched.
//
// Invariants: lines [0, frontier) are right: scanned with the state they start in now. Every
// scanned line's definitions are counted in names(), an unscanned line's are not. From line
// m_chainStart on, every line is scanned and each one's state is the state the line before it
// ends in, as lexed with its own recorded state.
class DefinitionTracker final {
  public:
    // A definition met while searching: its line and column, how it was defined.
    struct Found {
        std::string name;
        TextPoint place;
        DefinitionKind kind = DefinitionKind::None;
    };

    DefinitionTracker() { reset(1); }

    // Forgets everything: a text of `lines` lines, none scanned.
    void reset(std::int64_t lines);
    // Lines [line, line + removedBreaks] became [line, line + insertedBreaks]; the old lines'
    // names leave at once and the new lines wait for scan().
    void linesChanged(std::int64_t line, std::int64_t removedBreaks, std::int64_t insertedBreaks);

    // Scans at most `budget` lines of `lines` (which must have as many lines as the tracker);
    // returns whether any name came or went.
    bool scan(const RplLines& lines, std::int64_t budget);
    bool done() const { return m_frontier >= lineCount(); }
    // The first line not known to be right.
    std::int64_t frontier() const { return m_frontier; }
    // The lexer state at the start of a line below the frontier.
    LexState stateBefore(std::int64_t line) const
    {
        return LexState::fromPacked(m_lines[static_cast<std::size_t>(line)].state);
    }

    const DefinedNames& names() const { return m_names; }
    // The first definition in text order that `word` refers to, among the lines scanned right.
    std::optional<Found> find(std::string_view word) const;

  private:
    static constexpr std::uint32_t kUnscanned = 0xFFFFFFFF; // no packed state has bit 31
    struct LineRecord {
        std::uint32_t state = kUnscanned;
        std::uint32_t definitions = 0; // 1 + index into m_pool, 0 for none
    };
    struct Stored {
        std::string name;
        std::uint32_t column = 0;
        DefinitionKind kind = DefinitionKind::None;
    };

    std::int64_t lineCount() const { return static_cast<std::int64_t>(m_lines.size()); }
    // Forgets a line's definitions; returns whether a name left.
    bool forget(LineRecord& record);
    // Lexes a line from `state`, records it; returns the state at its end.
    LexState record(std::int64_t line, std::string_view text, LexState state, bool& namesChanged);

    GapArray<LineRecord> m_lines;
    std::vector<std::vector<Stored>> m_pool;
    std::vector<std::uint32_t> m_freeSlots;
    DefinedNames m_names;
    std::int64_t m_frontier = 0;
    std::optional<LexState> m_frontierState; // the state the frontier line starts in, once known
    std::int64_t m_chainStart = 0;
    std::vector<Token> m_tokens;
    std::vector<LineDefinition> m_found;
    std::string m_scratch;
};

} // namespace scrivlet
