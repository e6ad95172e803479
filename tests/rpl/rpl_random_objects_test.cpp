#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "reference/entry_table.h"
#include "rpl/literal_objects.h"
#include "rpl/number_forms.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace scrivlet;

namespace {

struct Book {
    RomNames names;
    std::vector<TableEntry> entries;
    std::vector<TableEntry> romPointers; // the ~names
};

const Book& book()
{
    static const Book b = [] {
        Book bk;
        bk.entries = parseEntryTable(readWholeFile(SCRIVLET_DATA_DIR "/rom49.tbl").bytes).entries;
        for (const TableEntry& e : bk.entries) {
            bk.names.add(e.name, e.addr);
            if (e.name[0] == '~')
                bk.romPointers.push_back(e);
        }
        return bk;
    }();
    return b;
}

// Random objects of every kind the codec keeps, nested a few levels: what the decompiler must
// write so that the compiler gives the same nibbles back, whatever it can or cannot show.
class Generator {
  public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    RplObject object(int depth)
    {
        const std::vector<TableEntry>& entries = book().entries;
        switch (pick(depth > 3 ? 12 : 16)) {
        case 0: {
            const TableEntry& e = entries[pick(entries.size())];
            const auto address = static_cast<std::uint32_t>(std::stoul(e.addr, nullptr, 16));
            const bool object =
                e.addr.size() == 5 && !prologInfo(address) && address != prolog::kSemi;
            return RplObject::pointer(object ? address : 0x3DBEA);
        }
        case 1:
            return *numberObject(std::to_string(int(pick(40)) - 20), book().names, true);
        case 2:
            return *numberObject(std::to_string(pick(100000)) + "." + std::to_string(pick(1000)) +
                                     "E" + std::to_string(int(pick(60)) - 30),
                                 book().names, true);
        case 3:
            return *stringObject(bytes(pick(12)));
        case 4:
        case 5: {
            const std::string name =
                pick(3) ? "ABCXYZ"[pick(6)] + std::to_string(pick(9)) : bytes(1 + pick(4));
            return {pick(2) ? prolog::kGlobalName : prolog::kLocalName,
                    ObjectShape::Named,
                    {},
                    name,
                    {}};
        }
        case 6: {
            Nibbles body;
            appendNibbleField(body, 21, 5);
            for (int i = 0; i < 16; ++i)
                body.push_back(static_cast<std::uint8_t>(pick(16)));
            return {prolog::kBinaryInteger, ObjectShape::Sized, body, {}, {}};
        }
        case 7: {
            Nibbles body;
            for (int i = 0; i < 32; ++i)
                body.push_back(static_cast<std::uint8_t>(pick(i % 16 < 3 ? 10 : 16) % 10));
            return {prolog::kComplex, ObjectShape::Fixed, body, {}, {}};
        }
        case 8: {
            const std::uint32_t w = static_cast<std::uint32_t>(pick(20)),
                                h = static_cast<std::uint32_t>(pick(4));
            std::string hex;
            for (std::uint64_t i = 0; i < grobDataNibbleCount(w, h); ++i)
                hex += "0123456789ABCDEF"[pick(16)];
            return *grobObject(w, h, hex);
        }
        case 9: { // a complex, an extended real or complex: canonical, or any digits
            const int kind = static_cast<int>(pick(3));
            const std::size_t size = kind == 0 ? 32 : kind == 1 ? 21 : 42;
            Nibbles body;
            for (std::size_t i = 0; i < size; ++i)
                body.push_back(static_cast<std::uint8_t>(pick(i % 21 < 5 ? 10 : 16) % 10));
            auto part = [&] {
                return std::to_string(int(pick(2000)) - 1000) + "." + std::to_string(pick(100000)) +
                       "E" + std::to_string(int(pick(200)) - 100);
            };
            if (pick(3))
                body = kind == 0   ? complexObject(part(), part(), false)->body
                       : kind == 1 ? *extendedRealBody(part())
                                   : complexObject(part(), part(), true)->body;
            return {kind == 0   ? prolog::kComplex
                    : kind == 1 ? prolog::kExtendedReal
                                : prolog::kExtendedComplex,
                    ObjectShape::Fixed,
                    body,
                    {},
                    {}};
        }
        case 10: { // a flash pointer or library command, the book's or any
            const TableEntry& e = entries[pick(entries.size())];
            const auto value = static_cast<std::uint32_t>(std::stoul(e.addr, nullptr, 16));
            if (e.name[0] == '~' || pick(3) == 0) {
                const TableEntry& r = book().romPointers[pick(book().romPointers.size())];
                const auto v = static_cast<std::uint32_t>(std::stoul(r.addr, nullptr, 16));
                return xlibObject({v & 0xFFFu, v >> 12});
            }
            return flashPointerObject(e.name[0] == '^' ? value : value * 16 + pick(16));
        }
        case 11: { // a binary integer of any length
            Nibbles body;
            const std::size_t length = pick(4) ? pick(24) : 16;
            appendNibbleField(body, static_cast<std::uint32_t>(length + 5), 5);
            for (std::size_t i = 0; i < length; ++i)
                body.push_back(static_cast<std::uint8_t>(pick(16)));
            return {prolog::kBinaryInteger, ObjectShape::Sized, body, {}, {}};
        }
        case 12:
        case 13:
        case 14: {
            static const std::uint32_t kComposites[] = {prolog::kList, prolog::kProgram,
                                                        prolog::kAlgebraic, prolog::kUnit};
            RplObject composite{kComposites[pick(4)], ObjectShape::Composite, {}, {}, {}};
            for (std::size_t i = pick(5); i > 0; --i)
                composite.items.push_back(object(depth + 1));
            return composite;
        }
        default:
            return {
                prolog::kTagged, ObjectShape::Tagged, {}, bytes(1 + pick(3)), {object(depth + 1)}};
        }
    }

  private:
    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(m_random() % n); }
    std::string bytes(std::size_t n)
    {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += static_cast<char>(pick(3) ? 'a' + pick(26) : pick(256));
        return s;
    }
    std::mt19937 m_random;
};

} // namespace

// Thousands of random objects: nibbles -> tree -> nibbles, and tree -> text -> tree, both exact;
// about half of them come out as User RPL or System RPL words rather than NIBHEX, every System
// RPL form among them.
TEST(RplRandomObjects, DecompileThenCompileGivesTheSameNibbles)
{
    int readable = 0;
    std::map<std::string, int> forms = {{"%% ", 0},     {"C% ", 0},   {"C%% ", 0},
                                        {"TAG ", 0},    {"HXS ", 0},  {"FLASHPTR ", 0},
                                        {"ROMPTR ", 0}, {"UNIT ", 0}, {"SYMBOL ", 0}};
    for (unsigned seed = 0; seed < 3000; ++seed) {
        Generator generator(seed);
        const RplObject object{seed % 2 ? prolog::kProgram : prolog::kList, // System RPL or User
                               ObjectShape::Composite,
                               {},
                               {},
                               {generator.object(0)}};
        const Nibbles nibbles = objectNibbles(object);
        const ObjectReadResult read = readObject(nibbles);
        ASSERT_TRUE(read.ok) << seed << ": " << read.error.message;
        ASSERT_EQ(objectNibbles(read.object), nibbles) << seed;
        const std::string text = decompiledTransferText(object, book().names);
        const CompileResult back = compileRpl(text, book().names);
        ASSERT_TRUE(back.ok) << seed << ": " << text << "\n" << back.error.message;
        ASSERT_EQ(objectNibbles(back.object), nibbles) << seed << ": " << text;
        readable += text.find("NIBHEX") == std::string::npos;
        for (auto& [form, count] : forms)
            count += text.find(form) != std::string::npos;
    }
    EXPECT_GT(readable, 1000);
    for (const auto& [form, count] : forms)
        EXPECT_GT(count, 20) << form; // each System RPL form is written and read back
}

// Every x-name of the book is a command by its user spelling, and that spelling compiles to the
// address (or the library command) the book gives it, unless an earlier name took the spelling
// (xSTRUCT> and xSTRUCT-> both read STRUCT→).
TEST(RplRandomObjects, EveryUserCommandCompilesToItsBookAddress)
{
    int commands = 0;
    for (const TableEntry& e : book().entries) {
        const std::string spelling = userSpelling(e.name);
        if (spelling.empty())
            continue;
        const CompileResult r = compileRpl("{ " + spelling + " }", book().names);
        ASSERT_TRUE(r.ok) << e.name << " " << spelling << ": " << r.error.message;
        ASSERT_EQ(r.object.items.size(), 1u) << e.name;
        const auto command = book().names.userCommand(spelling);
        ASSERT_TRUE(command);
        EXPECT_EQ(objectNibbles(r.object.items[0]), objectNibbles(commandObject(*command)));
        const auto address = static_cast<std::uint32_t>(std::stoul(e.addr, nullptr, 16));
        if (e.name[0] == 'x' && book().names.userSpellingAt(address) == spelling) {
            EXPECT_EQ(command->address, address) << e.name;
        }
        ++commands;
    }
    EXPECT_GT(commands, 600);
    EXPECT_EQ(userSpelling("x>LIST"), "\x8DLIST");
    EXPECT_EQ(userSpelling("xSIGMA+"), "\x85+");
    EXPECT_EQ(userSpelling("xSUMX2"), "\x85X\xB2");
    EXPECT_EQ(userSpelling("~xCOL\\->"), "COL\x8D");
    EXPECT_EQ(userSpelling("x<=?"), "\x89");
    EXPECT_EQ(userSpelling("xIFEND"), "");
}
