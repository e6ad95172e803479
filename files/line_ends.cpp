#include "files/line_ends.h"

#include <algorithm>
#include <cstring>

namespace scrivlet {

std::string toEditorLineEnds(std::string_view disk)
{
    std::string out;
    const auto lfs = static_cast<std::size_t>(std::count(disk.begin(), disk.end(), '\n'));
    out.reserve(disk.size() + lfs);
    std::size_t from = 0;
    while (from < disk.size()) {
        const void* hit = std::memchr(disk.data() + from, '\n', disk.size() - from);
        const std::size_t lf =
            hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - disk.data()) : disk.size();
        out.append(disk.substr(from, lf - from));
        if (lf == disk.size())
            break;
        if (lf == 0 || disk[lf - 1] != '\r')
            out += '\r';
        out += '\n';
        from = lf + 1;
    }
    return out;
}

std::string toDiskLineEnds(std::string_view editor)
{
    std::string out;
    out.reserve(editor.size());
    std::size_t from = 0;
    while (from < editor.size()) {
        const void* hit = std::memchr(editor.data() + from, '\n', editor.size() - from);
        const std::size_t lf = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - editor.data())
                                   : editor.size();
        if (lf == editor.size()) {
            out.append(editor.substr(from));
            break;
        }
        // Copy up to the LF, leaving out the CR of a CR LF pair.
        const bool pair = lf > from && editor[lf - 1] == '\r';
        out.append(editor.substr(from, lf - from - (pair ? 1 : 0)));
        out += '\n';
        from = lf + 1;
    }
    return out;
}

} // namespace scrivlet
