#pragma once

#include "editor/byte_range.h"
#include "editor/editor_command.h"
#include "editor/text_encoding.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace scrivlet {

class TextModel;

// Where the caret goes in the editor's cell grid: every byte covers one cell, except a tab,
// which reaches to the next multiple of kTabWidth cells. A line break is no cell; the caret never
// stands between its CR and LF. In UTF-8 (TextEncoding::Utf8) a valid multi-byte sequence is one
// character: its first byte covers one cell, the others none, and the caret moves over it whole.

inline constexpr std::int64_t kTabWidth = 8;

// The cells the bytes of a line cover, from the line's start.
std::int64_t columnsOf(std::string_view lineBytes,
                       TextEncoding encoding = TextEncoding::Windows1252);

// The byte of a line that covers a cell column, and the column that byte starts at. Past the end
// of the line: the line's length and its width in cells.
struct ColumnPlace {
    std::int64_t index = 0;
    std::int64_t column = 0;
};
ColumnPlace byteAtColumn(std::string_view lineBytes, std::int64_t column,
                         TextEncoding encoding = TextEncoding::Windows1252);

// The caret position in a line nearest to an x position given in cells (a click lands before a
// byte on its left half, after it on its right half).
std::int64_t caretIndexAt(std::string_view lineBytes, double cells,
                          TextEncoding encoding = TextEncoding::Windows1252);

// The cell column of an offset in its line.
std::int64_t columnOfOffset(const TextModel& text, std::int64_t offset,
                            TextEncoding encoding = TextEncoding::Windows1252);
// The offset of a line at a cell column: the byte that covers it, or the line's end.
std::int64_t offsetAtColumn(const TextModel& text, std::int64_t line, std::int64_t column,
                            TextEncoding encoding = TextEncoding::Windows1252);

// Where a move command takes the caret; nothing for a command that is no move. Consecutive
// vertical moves keep the column in `preferredColumn` (-1 when there is none yet); a page is
// `pageLines` lines. Up on the first line and Down on the last stay where they are.
std::optional<std::int64_t> moveTarget(const TextModel& text, EditorCommand command,
                                       std::int64_t caret, std::int64_t& preferredColumn,
                                       std::int64_t pageLines,
                                       TextEncoding encoding = TextEncoding::Windows1252);

// Moves over the text. Each gives an offset the caret can stand at.
std::int64_t nextCharOffset(const TextModel& text, std::int64_t offset,
                            TextEncoding encoding = TextEncoding::Windows1252);
std::int64_t previousCharOffset(const TextModel& text, std::int64_t offset,
                                TextEncoding encoding = TextEncoding::Windows1252);
// To the start of the next word (over the rest of this one and the blanks after it); at the end
// of a line, to the start of the next line.
std::int64_t nextWordOffset(const TextModel& text, std::int64_t offset);
// To the start of this word or of the one before it; at the start of a line, to the end of the
// line before.
std::int64_t previousWordOffset(const TextModel& text, std::int64_t offset);

// The word (a run of bytes other than space and tab) or the run of blanks at an offset, within
// its line: what a double click selects.
ByteRange wordAt(const TextModel& text, std::int64_t offset);

} // namespace scrivlet
