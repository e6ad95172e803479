#include "reference/description_rules.h"

namespace scrivlet {

std::string expandDescription(std::string_view stored)
{
    std::string out;
    out.reserve(stored.size());
    std::size_t pos = 0;
    while (pos < stored.size()) {
        const std::size_t hit = stored.find("%0A", pos);
        if (hit == std::string_view::npos) {
            out.append(stored.substr(pos));
            break;
        }
        out.append(stored.substr(pos, hit - pos));
        out.append("\r\n");
        pos = hit + 3;
    }
    return out;
}

} // namespace scrivlet
