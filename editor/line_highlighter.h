#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace scrivlet {

// A run of a line's bytes drawn in one style: `start` counts bytes from the start of the line
// (a tab is one byte, however many cells it covers); `style` indexes the view's style table.
struct StyleSpan {
    std::int64_t start = 0;
    std::int64_t length = 0;
    int style = 0;

    bool operator==(const StyleSpan&) const = default;
};

// Colours the editor one line at a time. A line's colours depend only on its bytes and on the
// state carried over from the end of the line before it, so the view can colour any line from
// the state cached at its start, and stops re-colouring after an edit as soon as the state
// after a line is the same as before the edit.
class LineHighlighter {
  public:
    // A small value that a line hands on to the next (an open comment, a block kind...).
    using State = std::uint64_t;

    virtual ~LineHighlighter() = default;

    // The state at the start of the text.
    virtual State initialState() const { return 0; }
    // Appends the spans of `line` (its bytes without the line break), in order and not
    // overlapping, and returns the state at the start of the next line. Bytes no span covers
    // are drawn in the view's plain text colour.
    virtual State highlight(std::string_view line, State in, std::vector<StyleSpan>& out) const = 0;
};

} // namespace scrivlet
