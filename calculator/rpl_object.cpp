#include "calculator/rpl_object.h"

#include "common/ascii.h"

#include <algorithm>
#include <array>

namespace scrivlet {

namespace {

using enum ObjectShape;

// Sorted by prolog.
constexpr std::array<PrologInfo, 32> kPrologs = {{
    {prolog::kZint, Sized, 0, "integer"},
    {prolog::kLongReal, Sized, 0, "long real"},
    {prolog::kLongComplex, Sized, 0, "long complex"},
    {prolog::kSymbolicMatrix, Composite, 0, "symbolic matrix"},
    {prolog::kFlashPointer, Fixed, 7, "flash pointer"},
    {prolog::kMinifont, Sized, 0, "minifont"},
    {prolog::kSystemBinary, Fixed, 5, "system binary"},
    {prolog::kReal, Fixed, 16, "real"},
    {prolog::kExtendedReal, Fixed, 21, "extended real"},
    {prolog::kComplex, Fixed, 32, "complex"},
    {prolog::kExtendedComplex, Fixed, 42, "extended complex"},
    {prolog::kCharacter, Fixed, 2, "character"},
    {prolog::kArray, Sized, 0, "array"},
    {prolog::kLinkedArray, Sized, 0, "linked array"},
    {prolog::kString, Sized, 0, "string"},
    {prolog::kBinaryInteger, Sized, 0, "binary integer"},
    {prolog::kList, Composite, 0, "list"},
    {prolog::kDirectory, Directory, 0, "directory"},
    {prolog::kAlgebraic, Composite, 0, "algebraic"},
    {prolog::kUnit, Composite, 0, "unit"},
    {prolog::kTagged, Tagged, 0, "tagged"},
    {prolog::kGrob, Sized, 0, "graphic"},
    {prolog::kLibrary, Sized, 0, "library"},
    {prolog::kBackup, Sized, 0, "backup"},
    {prolog::kLibraryData, Sized, 0, "library data"},
    {prolog::kAccessPointer, Fixed, 10, "access pointer"},
    {prolog::kFont, Sized, 0, "font"},
    {prolog::kProgram, Composite, 0, "program"},
    {prolog::kCode, Sized, 0, "code"},
    {prolog::kGlobalName, Named, 0, "global name"},
    {prolog::kLocalName, Named, 0, "local name"},
    {prolog::kXlibName, Fixed, 6, "XLIB name"},
}};

std::string hex5(std::uint32_t value)
{
    return hexNumber(value & 0xFFFFFu, 5);
}

class Reader {
  public:
    explicit Reader(const Nibbles& nibbles) : m_n(nibbles) {}

    bool read(std::size_t at, bool top, int depth, RplObject& out, std::size_t& end)
    {
        if (!has(at, 5))
            return fail(at, "an object is cut off: 5 nibbles of its prolog are missing");
        const std::uint32_t address = nibbleField(m_n, at, 5);
        const PrologInfo* info = prologInfo(address);
        out.prolog = address;
        if (!info) {
            if (top)
                return fail(at, "unknown prolog " + hex5(address));
            out.shape = Pointer;
            end = at + 5;
            return true;
        }
        out.shape = info->shape;
        const std::size_t body = at + 5;
        switch (info->shape) {
        case Pointer:
            break;
        case Fixed:
            if (!has(body, info->fixedNibbles))
                return fail(at, std::string("a ") + std::string(info->name) + " is cut off");
            return keepBody(body, body + info->fixedNibbles, out, end);
        case Sized: {
            if (!has(body, 5))
                return fail(body,
                            "the length field of a " + std::string(info->name) + " is cut off");
            const std::uint32_t length = nibbleField(m_n, body, 5);
            if (length < 5)
                return fail(body, "the length of a " + std::string(info->name) + " is " +
                                      std::to_string(length) + ", less than its own field");
            if (!has(body, length))
                return fail(body, "the length of a " + std::string(info->name) + " (" +
                                      std::to_string(length) + " nibbles) runs past the end");
            return keepBody(body, body + length, out, end);
        }
        case Named: {
            std::size_t after = 0;
            if (!readChars(body, out.text, after))
                return false;
            end = after;
            return true;
        }
        case Tagged: {
            std::size_t after = 0;
            if (!readChars(body, out.text, after))
                return false;
            if (depth >= kMaxObjectDepth)
                return fail(at, "objects nested too deep");
            out.items.emplace_back();
            return read(after, false, depth + 1, out.items.back(), end);
        }
        case Composite: {
            if (depth >= kMaxObjectDepth)
                return fail(at, "objects nested too deep");
            std::size_t pos = body;
            while (true) {
                if (!has(pos, 5))
                    return fail(at, "a " + std::string(info->name) + " has no end (SEMI)");
                if (nibbleField(m_n, pos, 5) == prolog::kSemi) {
                    end = pos + 5;
                    return true;
                }
                out.items.emplace_back();
                std::size_t next = 0;
                if (!read(pos, false, depth + 1, out.items.back(), next))
                    return false;
                pos = next;
            }
        }
        case Directory:
            return readDirectory(at, body, depth, out, end);
        }
        return fail(at, "unreadable object");
    }

    ObjectError error;

  private:
    bool has(std::size_t at, std::size_t count) const
    {
        return at <= m_n.size() && count <= m_n.size() - at;
    }

    bool fail(std::size_t at, std::string message)
    {
        error = {at, std::move(message)};
        return false;
    }

    bool keepBody(std::size_t from, std::size_t to, RplObject& out, std::size_t& end)
    {
        out.body.assign(m_n.begin() + static_cast<std::ptrdiff_t>(from),
                        m_n.begin() + static_cast<std::ptrdiff_t>(to));
        end = to;
        return true;
    }

    bool readChars(std::size_t at, std::string& text, std::size_t& end)
    {
        if (!has(at, 2))
            return fail(at, "a name's length is cut off");
        const std::size_t count = nibbleField(m_n, at, 2);
        if (!has(at + 2, 2 * count))
            return fail(at, "a name of " + std::to_string(count) + " characters runs past the end");
        text.clear();
        for (std::size_t i = 0; i < count; ++i)
            text += static_cast<char>(nibbleField(m_n, at + 2 + 2 * i, 2));
        end = at + 2 + 2 * count;
        return true;
    }

    // A directory: the attached library (3), an offset (5, relative to its own field, 0 for an
    // empty directory) to the last variable's name, which is followed by its object; the
    // directory ends with that object.
    bool readDirectory(std::size_t at, std::size_t body, int depth, RplObject& out,
                       std::size_t& end)
    {
        if (!has(body, 8))
            return fail(at, "a directory is cut off");
        const std::size_t field = body + 3;
        const std::uint32_t offset = nibbleField(m_n, field, 5);
        std::size_t to = field + 5;
        if (offset != 0) {
            if (!has(field, offset) || offset < 5)
                return fail(field, "a directory's offset to its last variable runs past the end");
            std::string name;
            std::size_t after = 0;
            if (!readChars(field + offset, name, after) || !has(after, 2))
                return fail(field + offset, "a directory's last variable is cut off");
            if (depth >= kMaxObjectDepth)
                return fail(at, "objects nested too deep");
            RplObject last;
            if (!read(after + 2, false, depth + 1, last, to))
                return false;
        }
        return keepBody(body, to, out, end);
    }

    const Nibbles& m_n;
};

} // namespace

const PrologInfo* prologInfo(std::uint32_t address)
{
    const auto it =
        std::lower_bound(kPrologs.begin(), kPrologs.end(), address,
                         [](const PrologInfo& p, std::uint32_t a) { return p.prolog < a; });
    return it != kPrologs.end() && it->prolog == address ? &*it : nullptr;
}

void appendObjectNibbles(const RplObject& object, Nibbles& out)
{
    appendNibbleField(out, object.prolog, 5);
    switch (object.shape) {
    case Pointer:
        return;
    case Fixed:
    case Sized:
    case Directory:
        out.insert(out.end(), object.body.begin(), object.body.end());
        return;
    case Named:
    case Tagged:
        appendNibbleField(out, static_cast<std::uint32_t>(object.text.size()), 2);
        for (char c : object.text)
            appendNibbleField(out, static_cast<unsigned char>(c), 2);
        for (const RplObject& item : object.items)
            appendObjectNibbles(item, out);
        return;
    case Composite:
        for (const RplObject& item : object.items)
            appendObjectNibbles(item, out);
        appendNibbleField(out, prolog::kSemi, 5);
        return;
    }
}

Nibbles objectNibbles(const RplObject& object)
{
    Nibbles out;
    appendObjectNibbles(object, out);
    return out;
}

ObjectReadResult readObject(const Nibbles& nibbles, std::size_t from)
{
    ObjectReadResult result;
    Reader reader(nibbles);
    result.ok = reader.read(from, true, 0, result.object, result.end);
    if (!result.ok) {
        result.error = reader.error;
        result.object = {};
        result.end = 0;
    }
    return result;
}

} // namespace scrivlet
