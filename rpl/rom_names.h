#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scrivlet {

// A command of a ROM library: its library number and command number, the two fields of an
// XLIB name object.
struct XlibId {
    std::uint32_t library = 0;
    std::uint32_t command = 0;
    bool operator==(const XlibId&) const = default;
};

// The names of the calculator's ROM entries, both ways: what the compiler and the decompiler
// know of the reference book. The program fills it from the entry database, the tests from
// data/rom49.tbl; this room never opens either.
//
// Entry addresses come as the book writes them: 5 hexadecimal digits for an object in ROM,
// ~NAME with the command and library numbers (CCCLL, i.e. command × 0x1000 + library) for a
// command of a ROM library, ^NAME with 5 or 6 digits for a flash pointer (CCCCBBB, i.e.
// command × 0x1000 + bank, the 7 nibbles of a flash pointer object).
// A name given twice keeps its first address; an address with several names is shown by the
// first one added.
//
// The User RPL commands are the book's x-names (xDUP, x+, x>LIST, ~xABCUV ...): their user
// spelling is userSpelling() of the name, in the calculator's character set.
class RomNames {
  public:
    // False when the address is not hexadecimal of the right length for its kind of name.
    bool add(std::string_view name, std::string_view address);

    std::optional<std::uint32_t> address(std::string_view name) const;
    // The first name added for the address; empty when none.
    std::string_view nameAt(std::uint32_t address) const;

    // User RPL commands, by their user spelling (calculator bytes).
    struct Command {
        bool isXlib = false;
        std::uint32_t address = 0; // when !isXlib
        XlibId xlib;               // when isXlib
    };
    std::optional<Command> userCommand(std::string_view spelling) const;
    // The user spelling of a ROM object or a library command; empty when it is none.
    std::string_view userSpellingAt(std::uint32_t address) const;
    std::string_view userSpellingOf(XlibId id) const;

    std::size_t size() const { return m_addressOf.size(); }

    // The book's ~names (ROM library commands) and ^names (flash pointers), with the ~ or ^.
    std::optional<XlibId> romPointer(std::string_view name) const;
    std::string_view romPointerName(XlibId id) const;
    std::optional<std::uint32_t> flashPointer(std::string_view name) const;
    std::string_view flashPointerName(std::uint32_t value) const;

    // Up to `count` names nearest to the word by edit distance (letter case counting half),
    // nearest first, ties in name order: what to suggest for a name the book does not hold.
    // Among the entries by address, or with `kind` '~' or '^' among those names.
    std::vector<std::string> nearestNames(std::string_view word, std::size_t count = 3,
                                          char kind = 0) const;

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const
        {
            return std::hash<std::string_view>{}(s);
        }
    };
    template <typename V> using ByName = std::unordered_map<std::string, V, Hash, std::equal_to<>>;

    ByName<std::uint32_t> m_addressOf;
    std::unordered_map<std::uint32_t, std::string> m_nameAt;
    ByName<Command> m_commands;
    std::unordered_map<std::uint32_t, std::string> m_spellingAt;
    std::unordered_map<std::uint32_t, std::string> m_xlibSpelling; // library << 12 | command
    ByName<std::uint32_t> m_romPointers;                           // library << 12 | command
    std::unordered_map<std::uint32_t, std::string> m_romPointerNames;
    ByName<std::uint32_t> m_flashPointers;
    std::unordered_map<std::uint32_t, std::string> m_flashPointerNames;
};

// The User RPL spelling of a book name in the calculator's character set: the name without its
// x (or ~x), its transfer escapes read, > and -> written →, SIGMA and a leading SUM written Σ,
// and the symbol commands written as the calculator shows them (x<=? ≤, x>=? ≥, x#? ≠, xSQRT √,
// xINTEGRAL ∫, xDER ∂, xPI π, xSTO> ▶). Empty for a name that is no user command: no x, the
// program brackets, the words of the control structures (the compiler places those), the
// words that start the compiler's own forms (GROB, XLIB, PTR, NIBHEX ...), and the book's own
// lower-case internal names.
std::string userSpelling(std::string_view bookName);

} // namespace scrivlet
