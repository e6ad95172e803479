#include "files/line_ends.h"

#include <algorithm>

namespace scrivlet {

std::string toEditorLineEnds(std::string_view disk)
{
    const auto lfs = static_cast<std::size_t>(std::count(disk.begin(), disk.end(), '\n'));
    std::string out(disk.size() + lfs, '\0');
    char* o = out.data();
    char previous = '\0';
    for (const char c : disk) {
        // Without a branch: a CR is always written and kept only before a lone LF.
        *o = '\r';
        o += (c == '\n') & (previous != '\r');
        *o++ = c;
        previous = c;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string toDiskLineEnds(std::string_view editor)
{
    std::string out(editor.size(), '\0');
    char* o = out.data();
    const std::size_t n = editor.size();
    for (std::size_t i = 0; i < n; ++i) {
        // The CR of a CR LF pair is written and then overwritten by its LF.
        *o = editor[i];
        o += !(editor[i] == '\r' && i + 1 < n && editor[i + 1] == '\n');
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

} // namespace scrivlet
