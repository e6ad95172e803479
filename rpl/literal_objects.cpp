#include "rpl/literal_objects.h"

#include "rpl/number_forms.h"

#include <algorithm>
#include <string>

namespace scrivlet {

std::optional<RplObject> numberObject(std::string_view text, const RomNames& names, bool exactMode)
{
    const NumberWord kind = numberWord(text);
    if (kind == NumberWord::None)
        return std::nullopt;
    const bool real = kind == NumberWord::Real || !exactMode;
    if (const std::optional<int> small = smallInteger(text, kind == NumberWord::Real)) {
        const std::string constant =
            real ? "%" + std::to_string(*small) : "Z" + std::to_string(*small) + "_";
        if (const auto address = names.address(constant))
            return RplObject::pointer(*address);
    }
    if (real) {
        std::optional<Nibbles> body = realBody(text);
        if (!body)
            return std::nullopt;
        return RplObject{prolog::kReal, ObjectShape::Fixed, std::move(*body), {}, {}};
    }
    std::optional<Nibbles> body = zintBody(text);
    if (!body)
        return std::nullopt;
    return RplObject{prolog::kZint, ObjectShape::Sized, std::move(*body), {}, {}};
}

std::optional<RplObject> stringObject(std::string_view bytes)
{
    if (5 + 2 * bytes.size() > 0xFFFFF)
        return std::nullopt;
    Nibbles body;
    body.reserve(5 + 2 * bytes.size());
    appendNibbleField(body, static_cast<std::uint32_t>(5 + 2 * bytes.size()), 5);
    for (char c : bytes)
        appendNibbleField(body, static_cast<unsigned char>(c), 2);
    return RplObject{prolog::kString, ObjectShape::Sized, std::move(body), {}, {}};
}

RplObject xlibObject(XlibId id)
{
    Nibbles body;
    appendNibbleField(body, id.library, 3);
    appendNibbleField(body, id.command, 3);
    return {prolog::kXlibName, ObjectShape::Fixed, std::move(body), {}, {}};
}

RplObject flashPointerObject(std::uint32_t value)
{
    Nibbles body;
    appendNibbleField(body, value, 7);
    return {prolog::kFlashPointer, ObjectShape::Fixed, std::move(body), {}, {}};
}

std::optional<RplObject> realObject(std::string_view text, bool extended)
{
    if (numberWord(text) == NumberWord::None)
        return std::nullopt;
    std::optional<Nibbles> body = extended ? extendedRealBody(text) : realBody(text);
    if (!body)
        return std::nullopt;
    return RplObject{extended ? prolog::kExtendedReal : prolog::kReal,
                     ObjectShape::Fixed,
                     std::move(*body),
                     {},
                     {}};
}

std::optional<RplObject> complexObject(std::string_view re, std::string_view im, bool extended)
{
    std::optional<RplObject> a = realObject(re, extended), b = realObject(im, extended);
    if (!a || !b)
        return std::nullopt;
    a->prolog = extended ? prolog::kExtendedComplex : prolog::kComplex;
    a->body.insert(a->body.end(), b->body.begin(), b->body.end());
    return a;
}

std::optional<RplObject> hexStringObject(std::string_view length, std::string_view digits)
{
    const std::optional<std::uint32_t> count = hexOperand(length, 5);
    if (!count || *count > 0xFFFFF - 5 || digits.size() > *count)
        return std::nullopt;
    Nibbles body;
    appendNibbleField(body, *count + 5, 5);
    body.resize(body.size() + (*count - digits.size()), 0);
    if (!appendNibbleHex(digits, body))
        return std::nullopt;
    return RplObject{prolog::kBinaryInteger, ObjectShape::Sized, std::move(body), {}, {}};
}

std::optional<int> constantWidth(std::string_view word)
{
    if (word.size() != 6 || !word.starts_with("CON(") || word[5] != ')' || word[4] < '1' ||
        word[4] > '8')
        return std::nullopt;
    return word[4] - '0';
}

std::optional<std::uint32_t> constantValue(std::string_view text, const RomNames& names)
{
    if (text.starts_with("=^"))
        return names.flashPointer(text.substr(1));
    if (text.starts_with("=~")) {
        const std::optional<XlibId> id = names.romPointer(text.substr(1));
        return id ? std::optional<std::uint32_t>(id->command << 12 | id->library) : std::nullopt;
    }
    if (text.starts_with('='))
        return names.address(text.substr(1));
    if (text.starts_with('#'))
        return hexOperand(text.substr(1), 8);
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const unsigned long long value = std::stoull(std::string(text));
    return value > 0xFFFFFFFFull ? std::nullopt
                                 : std::optional<std::uint32_t>(static_cast<std::uint32_t>(value));
}

RawItems itemsOfNibbles(const Nibbles& nibbles)
{
    RawItems raw;
    for (std::size_t at = 0; at < nibbles.size();) {
        if (nibbles.size() - at < 5) {
            raw.message = "the raw nibbles end inside an object";
            return raw;
        }
        const std::uint32_t address = nibbleField(nibbles, at, 5);
        if (address == prolog::kSemi) {
            raw.message = "raw nibbles cannot end a composite; write ;";
            return raw;
        }
        if (!prologInfo(address)) {
            raw.items.push_back(RplObject::pointer(address));
            at += 5;
            continue;
        }
        ObjectReadResult read = readObject(nibbles, at);
        if (!read.ok) {
            raw.message = "the raw nibbles hold no whole object: " + read.error.message;
            return raw;
        }
        raw.items.push_back(std::move(read.object));
        at = read.end;
    }
    raw.ok = true;
    return raw;
}

bool isHexOperand(std::string_view text)
{
    return !text.empty() && text[0] >= '0' && text[0] <= '9' &&
           text.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
}

std::optional<std::uint32_t> hexOperand(std::string_view text, int digits)
{
    if (text.empty())
        return std::nullopt;
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    Nibbles value;
    if (text.size() - first > static_cast<std::size_t>(digits) || !appendNibbleHex(text, value))
        return std::nullopt;
    std::uint32_t v = 0;
    for (std::uint8_t d : value)
        v = v << 4 | d;
    return v;
}

RplObject commandObject(const RomNames::Command& command)
{
    return command.isXlib ? xlibObject(command.xlib) : RplObject::pointer(command.address);
}

std::optional<RplObject> arrayObject(std::uint32_t elementProlog, std::uint32_t rows,
                                     std::uint32_t columns, const std::vector<Nibbles>& elements)
{
    Nibbles body(5, 0);
    appendNibbleField(body, elementProlog, 5);
    appendNibbleField(body, rows > 0 ? 2 : 1, 5);
    if (rows > 0)
        appendNibbleField(body, rows, 5);
    appendNibbleField(body, columns, 5);
    for (const Nibbles& e : elements) {
        body.insert(body.end(), e.begin(), e.end());
        if (body.size() > 0xFFFFF)
            return std::nullopt;
    }
    Nibbles length;
    appendNibbleField(length, static_cast<std::uint32_t>(body.size()), 5);
    std::copy(length.begin(), length.end(), body.begin());
    return RplObject{prolog::kArray, ObjectShape::Sized, std::move(body), {}, {}};
}

std::optional<RplObject> grobObject(std::uint64_t width, std::uint64_t height,
                                    std::string_view hexData)
{
    const std::uint64_t data = grobDataNibbleCount(width, height);
    if (width > 0xFFFFF || height > 0xFFFFF || data + 15 > 0xFFFFF || hexData.size() != data)
        return std::nullopt;
    Nibbles body;
    appendNibbleField(body, static_cast<std::uint32_t>(15 + data), 5);
    appendNibbleField(body, static_cast<std::uint32_t>(height), 5);
    appendNibbleField(body, static_cast<std::uint32_t>(width), 5);
    if (!appendNibbleHex(hexData, body))
        return std::nullopt;
    return RplObject{prolog::kGrob, ObjectShape::Sized, std::move(body), {}, {}};
}

} // namespace scrivlet
