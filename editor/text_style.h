#pragma once

#include <QColor>
#include <cstdint>

namespace scrivlet {

// How the editor draws a run of text. An invalid colour leaves that part as plain text has it:
// no foreground means the palette's text colour, no background none, no underline colour no
// wavy underline.
struct TextStyle {
    QColor foreground;
    QColor background;
    bool bold = false;
    bool italic = false;
    QColor wavyUnderline;
};

// A range of bytes [from, to) drawn in a style of its own, over the highlighter's colours: the
// two ends of a matching pair, an error. A mark moves with the text around it and goes when an
// edit touches it.
struct TextMark {
    std::int64_t from = 0;
    std::int64_t to = 0;
    TextStyle style;
};

} // namespace scrivlet
