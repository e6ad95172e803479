#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivlet {

class EditorBuffer;

// The last word of a text: the longest run of bytes without a space, Tab, CR or LF at its end,
// blanks after it passed over; empty when the text has no word.
std::string_view lastWordOf(std::string_view text);

// The word before an offset of the buffer, on the same line or on a line above: the word the
// one at the offset follows. Reads back at most kPreviousWordReach bytes, so a run of blank
// lines longer than that has no word before it.
inline constexpr std::int64_t kPreviousWordReach = 4096;
std::string wordBefore(const EditorBuffer& buffer, std::int64_t offset);

} // namespace scrivlet
