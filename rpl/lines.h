#pragma once

#include "rpl/lexer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// A place in a text: 0-based line and byte column within the line (CR LF not counted).
struct TextPoint {
    std::size_t line = 0;
    std::size_t column = 0;

    bool operator==(const TextPoint&) const = default;
};

// What the rules over many lines read: the lines' bytes and the lexer state at each line's
// start. The view implements it over its document and its per-line state cache; TextLines over
// a plain byte text.
class RplLines {
  public:
    virtual ~RplLines() = default;
    virtual std::size_t lineCount() const = 0;
    // The bytes of line `index` (without its CR LF). An implementation may build them in
    // `scratch` and return a view of it; the view stays valid until the next call.
    virtual std::string_view lineText(std::size_t index, std::string& scratch) const = 0;
    // The lexer state at the start of line `index`. Should be cheap (a cached value): the pair
    // matcher asks for it on every line it scans backwards.
    virtual LexState stateBefore(std::size_t index) const = 0;
};

// RplLines over a byte text whose lines are separated by CR LF (a lone CR or LF belongs to its
// line). Line starts are indexed at construction; line states are lexed on demand from the
// first line on and kept, so asking for line k costs lexing the lines not yet lexed before it.
// The text must outlive the object.
class TextLines final : public RplLines {
  public:
    explicit TextLines(std::string_view text, LexState first = {});

    std::size_t lineCount() const override { return m_starts.size(); }
    std::string_view lineText(std::size_t index, std::string& scratch) const override;
    LexState stateBefore(std::size_t index) const override;

    // Conversions between byte offsets (counting both bytes of each CR LF) and points; an
    // offset inside a CR LF maps to the end of its line; both clamp to the text.
    TextPoint pointOf(std::int64_t offset) const;
    std::int64_t offsetOf(TextPoint point) const;

  private:
    std::string_view line(std::size_t index) const;

    std::string_view m_text;
    std::vector<std::size_t> m_starts;
    mutable std::vector<LexState> m_states; // m_states[k]: state at the start of line k
    mutable std::vector<Token> m_scratchTokens;
};

} // namespace scrivlet
