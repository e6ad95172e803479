#include "calculator/library_object.h"

#include <algorithm>
#include <map>

namespace scrivlet {

namespace {

constexpr int kNameGroups = 16;

// The order of the names within a length group: by their bytes compared from the last one
// back, as HP's tools lay them out (CIRCUITOS puts \x9B\x8DY before Y\x8D\x9B; every other real
// library agrees with either direction).
bool nameBefore(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(
        a.rbegin(), a.rend(), b.rbegin(), b.rend(),
        [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
}

std::size_t nameGroup(const std::string& name)
{
    return std::min<std::size_t>(name.size(), kNameGroups);
}

struct Reader {
    const Nibbles& n;
    LibraryRead result;

    bool has(std::size_t at, std::size_t count) const
    {
        return at <= n.size() && count <= n.size() - at;
    }
    bool fail(std::size_t at, std::string message)
    {
        result.offset = at;
        result.message = std::move(message);
        return false;
    }
    std::string text(std::size_t at, std::size_t length) const
    {
        std::string s;
        for (std::size_t i = 0; i < length; ++i)
            s += static_cast<char>(nibbleField(n, at + 2 * i, 2));
        return s;
    }
    // A binary integer at `at` inside the object: its end, or 0 when it is none.
    std::size_t binaryEnd(std::size_t at) const
    {
        if (!has(at, 10) || nibbleField(n, at, 5) != prolog::kBinaryInteger)
            return 0;
        const std::size_t end = at + 5 + nibbleField(n, at + 5, 5);
        return end <= n.size() - 4 && end >= at + 10 ? end : 0;
    }
    bool read();
};

bool Reader::read()
{
    constexpr std::size_t kMinimum = 5 + 5 + 2 + 3 + 20 + 4;
    if (n.size() < kMinimum || nibbleField(n, 0, 5) != prolog::kLibrary)
        return fail(0, "not a library object");
    const std::size_t crcAt = n.size() - 4;
    result.crcValid = libraryCrc(n, 5, crcAt) == nibbleField(n, crcAt, 4);
    LibraryParts& parts = result.parts;
    std::size_t pos = 10;
    const std::size_t titleLength = nibbleField(n, pos, 2);
    pos += 2;
    if (!has(pos, 2 * titleLength + 2 + 3 + 20))
        return fail(10, "the title runs past the library");
    parts.title = text(pos, titleLength);
    pos += 2 * titleLength;
    if (titleLength > 0) {
        if (nibbleField(n, pos, 2) != titleLength)
            return fail(pos, "the title length is not repeated after the title");
        pos += 2;
    }
    parts.romId = nibbleField(n, pos, 3);
    pos += 3;
    std::size_t at[4] = {};
    for (int i = 0; i < 4; ++i, pos += 5) {
        const std::uint32_t offset = nibbleField(n, pos, 5);
        if (offset != 0 && !has(pos + offset, 5 + 4))
            return fail(pos, "an offset in the header points past the library");
        at[i] = offset == 0 ? 0 : pos + offset;
    }
    const std::size_t hashAt = at[0], messageAt = at[1], linkAt = at[2], configAt = at[3];
    std::size_t regionStart = pos;

    std::map<std::uint32_t, std::string> names;
    if (hashAt != 0) {
        const std::size_t hashEnd = binaryEnd(hashAt);
        const std::size_t endField = hashAt + 10 + 5 * kNameGroups;
        if (hashEnd == 0 || endField + 5 > hashEnd)
            return fail(hashAt, "the hash table is no binary integer of the right size");
        const std::size_t namesEnd = endField + nibbleField(n, endField, 5);
        if (namesEnd > hashEnd)
            return fail(endField, "the names run past the hash table");
        for (std::size_t p = endField + 5; p < namesEnd;) {
            const std::size_t length = nibbleField(n, p, 2);
            if (length == 0 || p + 2 + 2 * length + 3 > namesEnd)
                return fail(p, "a name in the hash table runs past its end");
            const std::uint32_t number = nibbleField(n, p + 2 + 2 * length, 3);
            if (!names.emplace(number, text(p + 2, length)).second)
                return fail(p, "two names for one command");
            p += 2 + 2 * length + 3;
        }
        regionStart = std::max(regionStart, hashEnd);
    }

    std::map<std::size_t, std::uint32_t> starts; // command object → its number
    std::size_t commandCount = 0;
    if (linkAt != 0) {
        const std::size_t linkEnd = binaryEnd(linkAt);
        if (linkEnd == 0 || (linkEnd - linkAt - 10) % 5 != 0)
            return fail(linkAt, "the link table is no binary integer of whole offsets");
        commandCount = (linkEnd - linkAt - 10) / 5;
        for (std::size_t i = 0; i < commandCount; ++i) {
            const std::size_t field = linkAt + 10 + 5 * i;
            const std::size_t target = field + nibbleField(n, field, 5);
            if (!starts.emplace(target, static_cast<std::uint32_t>(i)).second)
                return fail(field, "two commands at one place");
        }
        regionStart = std::max(regionStart, linkEnd);
    }
    for (const auto& [number, name] : names)
        if (number >= commandCount)
            return fail(hashAt, "the name " + name + " belongs to no command");

    bool messageSeen = false, configSeen = false;
    for (pos = regionStart; pos < crcAt;) {
        std::optional<RplObject>* special = pos == messageAt  ? &parts.message
                                            : pos == configAt ? &parts.config
                                                              : nullptr;
        LibraryCommand command;
        std::size_t objectAt = pos;
        if (special != nullptr) {
            (pos == messageAt ? messageSeen : configSeen) = true;
        } else if (auto it = starts.find(pos + 6);
                   it != starts.end() && names.contains(it->second)) {
            command.number = it->second;
            command.name = names[it->second];
            if (nibbleField(n, pos, 3) != parts.romId || nibbleField(n, pos + 3, 3) != it->second)
                return fail(pos, "command " + command.name +
                                     " is not preceded by its library and command number");
            objectAt = pos + 6;
        } else if (auto hidden = starts.find(pos);
                   hidden != starts.end() && !names.contains(hidden->second)) {
            command.number = hidden->second;
        } else {
            return fail(pos, "nibbles that belong to no command");
        }
        ObjectReadResult object = readObject(n, objectAt);
        if (!object.ok)
            return fail(object.error.offset, object.error.message);
        if (object.end > crcAt)
            return fail(objectAt, "an object runs into the CRC");
        pos = object.end;
        if (special != nullptr) {
            *special = std::move(object.object);
        } else {
            command.object = std::move(object.object);
            parts.commands.push_back(std::move(command));
        }
    }
    if (parts.commands.size() != commandCount)
        return fail(linkAt, "the link table points to a command that is not there");
    if ((messageAt != 0 && !messageSeen) || (configAt != 0 && !configSeen))
        return fail(messageAt != 0 && !messageSeen ? messageAt : configAt,
                    "the message table or the configuration lies inside another object");
    return true;
}

void appendText(Nibbles& out, const std::string& text)
{
    for (char c : text)
        appendNibbleField(out, static_cast<unsigned char>(c), 2);
}

void putField(Nibbles& out, std::size_t at, std::size_t value)
{
    for (int i = 0; i < 5; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((value >> (4 * i)) & 0xF);
}

} // namespace

std::uint16_t libraryCrc(const Nibbles& nibbles, std::size_t from, std::size_t to)
{
    std::uint32_t crc = 0;
    for (std::size_t i = from; i < to; ++i)
        crc = (crc >> 4) ^ (((crc ^ nibbles[i]) & 0xFu) * 0x1081u);
    return static_cast<std::uint16_t>(crc);
}

LibraryRead readLibrary(const RplObject& library)
{
    if (library.prolog != prolog::kLibrary)
        return {false, {}, false, 0, "not a library object"};
    const Nibbles n = objectNibbles(library);
    Reader reader{n, {}};
    reader.result.ok = reader.read();
    if (!reader.result.ok)
        reader.result.parts = {};
    return std::move(reader.result);
}

LibraryBuild buildLibrary(const LibraryParts& parts)
{
    LibraryBuild build;
    const std::size_t count = parts.commands.size();
    std::vector<const LibraryCommand*> byNumber(count, nullptr);
    std::size_t named = 0;
    for (const LibraryCommand& command : parts.commands) {
        if (command.number >= count || byNumber[command.number] != nullptr) {
            build.message = "command numbers must run from 0 to " + std::to_string(count - 1) +
                            ", each once";
            return build;
        }
        if (command.name.size() > 255) {
            build.message = "the command name " + command.name.substr(0, 20) + "... is too long";
            return build;
        }
        byNumber[command.number] = &command;
        named += command.name.empty() ? 0 : 1;
    }
    for (std::size_t i = 0; i < count; ++i)
        if (byNumber[i]->name.empty() != (i >= named)) {
            build.message = "the named commands must be numbered before the hidden ones";
            return build;
        }
    if (parts.title.size() > 255 || parts.romId > 0xFFF) {
        build.message = parts.romId > 0xFFF ? "the library number must be below 1000 hex"
                                            : "the title is longer than 255 characters";
        return build;
    }

    Nibbles out;
    appendNibbleField(out, prolog::kLibrary, 5);
    appendNibbleField(out, 0, 5); // size, set at the end
    appendNibbleField(out, static_cast<std::uint32_t>(parts.title.size()), 2);
    appendText(out, parts.title);
    if (!parts.title.empty())
        appendNibbleField(out, static_cast<std::uint32_t>(parts.title.size()), 2);
    appendNibbleField(out, parts.romId, 3);
    const std::size_t offsets = out.size();
    appendNibbleField(out, 0, 20);

    if (named > 0) {
        const std::size_t hashAt = out.size();
        putField(out, offsets, hashAt - offsets);
        std::vector<const LibraryCommand*> sorted(byNumber.begin(), byNumber.begin() + static_cast<std::ptrdiff_t>(named));
        std::stable_sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) {
            if (nameGroup(a->name) != nameGroup(b->name))
                return nameGroup(a->name) < nameGroup(b->name);
            return nameBefore(a->name, b->name);
        });
        for (std::size_t i = 1; i < sorted.size(); ++i)
            if (sorted[i]->name == sorted[i - 1]->name) {
                build.message = "two commands are named " + sorted[i]->name;
                return build;
            }
        appendNibbleField(out, prolog::kBinaryInteger, 5);
        appendNibbleField(out, 0, 5);
        const std::size_t groups = out.size();
        appendNibbleField(out, 0, 20);
        appendNibbleField(out, 0, 20);
        appendNibbleField(out, 0, 20);
        appendNibbleField(out, 0, 20);
        const std::size_t endField = out.size();
        appendNibbleField(out, 0, 5);
        std::vector<std::size_t> entryAt(count);
        for (const LibraryCommand* command : sorted) {
            const std::size_t field = groups + 5 * (nameGroup(command->name) - 1);
            if (nibbleField(out, field, 5) == 0)
                putField(out, field, out.size() - field);
            entryAt[command->number] = out.size();
            appendNibbleField(out, static_cast<std::uint32_t>(command->name.size()), 2);
            appendText(out, command->name);
            appendNibbleField(out, command->number, 3);
        }
        putField(out, endField, out.size() - endField);
        for (std::size_t i = 0; i < named; ++i)
            appendNibbleField(out, static_cast<std::uint32_t>(out.size() - entryAt[i]), 5);
        putField(out, hashAt + 5, out.size() - hashAt - 5);
    }

    std::size_t linkAt = 0;
    if (count > 0) {
        linkAt = out.size();
        putField(out, offsets + 10, linkAt - offsets - 10);
        appendNibbleField(out, prolog::kBinaryInteger, 5);
        appendNibbleField(out, static_cast<std::uint32_t>(5 + 5 * count), 5);
        out.resize(out.size() + 5 * count, 0);
    }
    for (const LibraryCommand& command : parts.commands) {
        if (!command.name.empty()) {
            appendNibbleField(out, parts.romId, 3);
            appendNibbleField(out, command.number, 3);
        }
        const std::size_t field = linkAt + 10 + 5 * command.number;
        putField(out, field, out.size() - field);
        appendObjectNibbles(command.object, out);
    }
    if (parts.message) {
        putField(out, offsets + 5, out.size() - offsets - 5);
        appendObjectNibbles(*parts.message, out);
    }
    if (parts.config) {
        putField(out, offsets + 15, out.size() - offsets - 15);
        appendObjectNibbles(*parts.config, out);
    }
    if (out.size() + 4 - 5 > 0xFFFFF) {
        build.message = "the library is larger than the 5-nibble size field allows";
        return build;
    }
    putField(out, 5, out.size() + 4 - 5);
    appendNibbleField(out, libraryCrc(out, 5, out.size()), 4);

    build.library.prolog = prolog::kLibrary;
    build.library.shape = ObjectShape::Sized;
    build.library.body.assign(out.begin() + 5, out.end());
    build.ok = true;
    return build;
}

} // namespace scrivlet
