#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivlet {

// The editor's Qt-free rules on the byte text of the buffer (one byte per character, lines
// separated by CR LF, offsets 0-based, positions 1-based: position k is offset k - 1).

// How far the word scans reach on each side of the caret.
inline constexpr std::int64_t kWordScanLimit = 50;

// The word around the caret: 1-based inclusive positions. An empty span at the caret is
// {caret + 1, caret}.
struct WordSpan {
    std::int32_t wordstart = 0;
    std::int32_t wordend = 0;

    std::int64_t length() const
    {
        return wordend >= wordstart ? std::int64_t{wordend} - wordstart + 1 : 0;
    }
    bool operator==(const WordSpan&) const = default;
};

// What a Tab is to the word at the caret: a separator like space (Options > "Tab Ends a Word",
// checked at first) or, with the option unchecked, a character of the word as any other.
enum class TabInWord { Belongs, EndsWord };

// True for the characters that end a word: space, CR and LF, and Tab when it ends words.
constexpr bool isWordSeparator(char c, TabInWord tab = TabInWord::Belongs)
{
    return c == ' ' || c == '\r' || c == '\n' || (c == '\t' && tab == TabInWord::EndsWord);
}

// The word span around the caret of a text of `length` characters. `slice` holds the text's
// characters from offset `sliceStart` on and covers at least the kWordScanLimit + 1 characters
// on each side of the caret that lie on the caret's line: characters outside the slice read as
// separators.
// The span starts after the nearest separator before the caret, at the start of the text or
// 50 characters before the caret, whichever is nearest; it ends likewise after the caret.
WordSpan findWordSpan(std::string_view slice, std::int64_t sliceStart, std::int64_t caret,
                      std::int64_t length, TabInWord tab = TabInWord::Belongs);

// The characters of a span, taken from the same slice.
std::string_view lookupWord(std::string_view slice, std::int64_t sliceStart, WordSpan span);

// Line and column of the caret, both from 1: the line is 1 plus the number of CR LF pairs
// before the caret, the column 1 plus the number of characters after the last of them. A lone
// CR or LF is an ordinary character and counts as a column.
struct LineColumn {
    std::int64_t line = 1;
    std::int64_t column = 1;

    bool operator==(const LineColumn&) const = default;
};
LineColumn lineColumnOf(std::string_view textBeforeCaret);

// The caret read-out: "POS: " line "," column.
std::string positionCaption(LineColumn position);

// The number of spaces a line begins with; any other character, Tab included, ends the count.
int indentWidth(std::string_view line);

} // namespace scrivlet
