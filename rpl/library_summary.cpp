#include "rpl/library_summary.h"

namespace scrivlet {

std::optional<LibrarySummary> librarySummary(const RplObject& library)
{
    const Nibbles& b = library.body; // after the prolog: size, title, number, offsets ...
    if (library.prolog != prolog::kLibrary || b.size() < 7)
        return std::nullopt;
    auto has = [&](std::size_t at, std::size_t count) {
        return at <= b.size() && count <= b.size() - at;
    };
    LibrarySummary summary;
    std::size_t pos = 5;
    const std::size_t titleLength = nibbleField(b, pos, 2);
    pos += 2;
    if (!has(pos, 2 * titleLength))
        return std::nullopt;
    for (std::size_t i = 0; i < titleLength; ++i)
        summary.title += static_cast<char>(nibbleField(b, pos + 2 * i, 2));
    pos += 2 * titleLength + (titleLength > 0 ? 2 : 0);
    if (!has(pos, 3 + 5))
        return std::nullopt;
    summary.number = nibbleField(b, pos, 3);
    pos += 3;
    const std::uint32_t hashOffset = nibbleField(b, pos, 5);
    if (hashOffset == 0)
        return summary;
    // The hash table: a binary integer holding 16 offsets by name length and the offset to the
    // end of the names, then the names as [length, characters, command number].
    const std::size_t hash = pos + hashOffset;
    if (!has(hash, 10) || nibbleField(b, hash, 5) != prolog::kBinaryInteger)
        return std::nullopt;
    const std::size_t hashEnd = hash + 5 + nibbleField(b, hash + 5, 5);
    const std::size_t endField = hash + 10 + 16 * 5;
    if (!has(endField, 5) || hashEnd > b.size())
        return std::nullopt;
    const std::size_t namesEnd = endField + nibbleField(b, endField, 5);
    if (namesEnd > hashEnd)
        return std::nullopt;
    for (std::size_t at = endField + 5; at + 2 <= namesEnd;) {
        const std::size_t length = nibbleField(b, at, 2);
        if (length == 0 || at + 2 + 2 * length + 3 > namesEnd)
            break;
        std::string name;
        for (std::size_t i = 0; i < length; ++i)
            name += static_cast<char>(nibbleField(b, at + 2 + 2 * i, 2));
        summary.commands.push_back(std::move(name));
        at += 2 + 2 * length + 3;
    }
    return summary;
}

} // namespace scrivlet
