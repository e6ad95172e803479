#include "editor/previous_word.h"

#include "common/ascii.h"
#include "editor/editor_buffer.h"

#include <algorithm>

namespace scrivlet {

std::string_view lastWordOf(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && isSpaceTabOrLineBreak(text[end - 1]))
        --end;
    std::size_t start = end;
    while (start > 0 && !isSpaceTabOrLineBreak(text[start - 1]))
        --start;
    return text.substr(start, end - start);
}

std::string wordBefore(const EditorBuffer& buffer, std::int64_t offset)
{
    // Most words are near: read a line's worth first, then the whole reach.
    for (const std::int64_t reach : {std::int64_t{128}, kPreviousWordReach}) {
        const std::int64_t from = std::max<std::int64_t>(0, offset - reach);
        const std::string before = buffer.slice(from, offset);
        const std::string_view word = lastWordOf(before);
        // A word that starts the slice may go on before it, unless the slice starts the text.
        const bool whole = !word.empty() && (word.data() != before.data() || from == 0);
        if (whole)
            return std::string(word);
        if (from == 0)
            return {};
    }
    return {};
}

} // namespace scrivlet
