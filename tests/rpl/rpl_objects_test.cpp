#include "support/book_names.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "reference/entry_table.h"
#include "calculator/library_object.h"
#include "rpl/number_forms.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace scrivlet;

namespace {

using fixtures::bookNames;

std::string objects(const std::string& name)
{
    return std::string(SCRIVLET_OBJECTS_DIR) + "/" + name;
}

Nibbles compiled(const std::string& text)
{
    const CompileResult r = compileRpl(text, bookNames());
    EXPECT_TRUE(r.ok) << text << "\n"
                      << r.error.line << ":" << r.error.column << ": " << r.error.message;
    return objectNibbles(r.object);
}

} // namespace

// The sources typed on a 49G compile to the very nibbles it sent; its objects decompile to the
// text that was typed.
TEST(RplObjects, PairsFromTheCalculatorCompileIdentically)
{
    for (const char* pair : {"hptx/49g-P", "hptx/49g-L", "hptx/49g-TG"}) {
        SCOPED_TRACE(pair);
        const FileReadResult source = readWholeFile(objects(std::string(pair) + ".txt"));
        const FileReadResult binary = readWholeFile(objects(std::string(pair) + ".hp"));
        ASSERT_TRUE(source.ok && binary.ok);
        const TransferFileRead read = readTransferFile(binary.bytes);
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(compiled(source.bytes), objectNibbles(read.file.object));
        EXPECT_EQ(decompiledTransferText(read.file.object, bookNames()), source.bytes);
    }
}

// Every object of every real file: decompile, compile the text, the same nibbles.
TEST(RplObjects, EveryRealObjectSurvivesDecompileAndCompile)
{
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVLET_OBJECTS_DIR)) {
        if (entry.path().extension() != ".hp")
            continue;
        const FileReadResult file = readWholeFile(entry.path().string());
        const TransferFileRead read = readTransferFile(file.bytes);
        if (!read.ok)
            continue; // the header-only files, refused by the codec test
        SCOPED_TRACE(entry.path().string());
        // A 48-series ROM is not the book's: its pointers are written by address.
        DecompileOptions options;
        options.namePointers = read.file.family == CalculatorFamily::Hp49;
        const std::string text = decompiledTransferText(read.file.object, bookNames(), options);
        EXPECT_EQ(compiled(text), objectNibbles(read.file.object));
        ++files;
    }
    EXPECT_GE(files, 120);
}

// User RPL beyond the pairs: every structure and object kind the compiler writes decompiles to
// the same text (so compiles to the same nibbles again).
TEST(RplObjects, UserRplTextIsAFixedPoint)
{
    const char* sources[] = {
        "\xAB IF DUP 0 > THEN 1 ELSE -1 END \xBB",
        "\xAB IFERR 1 0 / THEN DROP END \xBB",
        "\xAB CASE DUP 1 == THEN \"one\" END DUP 2 == THEN \"two\" END \"many\" END \xBB",
        "\xAB 1 10 FOR i i SQ NEXT 1 5 START 2 * 2 STEP \xBB",
        "\xAB WHILE DUP 100 < REPEAT 2 * END DO 1 - UNTIL DUP 0 == END \xBB",
        "\xAB \x8D a b \xAB a b + 'a' STO \xBB 'X' PURGE \xBB",
        "{ 1.5 -2.5E-15 1.E12 123456789012 .001 (1.,-2.) # FFh \"a\\b\xAB\" :T:X ABCUV }",
        "\xAB \x8DLIST LIST\x8D \x85LIST \x83 \x89 \x8B \xAB \xBB { } GROB 9 2 3F003F00 \xBB",
        "\xAB 'X+Y' 'A+(B+C)' '-X^2' 'SIN(X)*2+MAX(A,B)' '(A^B)^C' 'A^B^C' '2*\x87' \xBB",
        "\xAB \x8D a b 'a*b-(a-b)/2.5' \xBB",
        "{ [ 1. 2.5 ] [[ 1. 2. ] [ 3. 4. ]] [ (1.,2.) (0.,-1.) ] }",
        ":: CK1NOLASTWD DUP # 3F % 1. ZINT 0 ID X LAM y { ID Z } \xAB 1 \xBB ;",
    };
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        const CompileResult first = compileRpl(source, bookNames());
        ASSERT_TRUE(first.ok) << first.error.column << ": " << first.error.message;
        const std::string text = decompileRpl(first.object, bookNames());
        EXPECT_EQ(text, std::string(source) + "\n");
        EXPECT_EQ(compiled(text), objectNibbles(first.object));
    }
}

TEST(RplObjects, CompileErrorsNameLineAndColumn)
{
    struct Case {
        const char* source;
        std::size_t line, column;
        const char* message;
    };
    const Case cases[] = {
        {"%%HP: T(3)A(R)F(.);\n\\<< 1\n  THEN \\>>", 3, 3, "THEN is out of place"},
        {"\\<< IF 1 THEN 2 \\>>", 1, 1, "leaves IF open"},
        {"{ 1 2", 1, 1, "no closing }"},
        {"\"abc", 1, 1, "no closing \""},
        {"1 2", 1, 3, "one object"},
        {"\\<< \\-> 1 \\<< \\>> \\>>", 1, 9, "cannot name a local variable"},
        {"\\<< 1.E999 \\>>", 1, 5, "out of the calculator's range"},
        {"NIBHEX 33920", 1, 8, "no whole object"},
        {"END", 1, 1, "belongs in a program"},
        {"{ 'X*(Y+' }", 1, 9, "operand is missing"},
        {"'SIN(X'", 1, 7, ") is missing"},
        {"[[ 1. 2. ] [ 3. ]]", 1, 12, "as many numbers"},
        {"[ 1. (1.,2.) ]", 1, 6, "one kind"},
        {":: DUP SEMI ;", 1, 8, "cannot stand as a pointer"},
        {"{ 1_m }", 1, 3, "unit objects are not compiled yet"},
        {"\\<< A+B \\>>", 1, 5, "is no number, command or name"},
        {"%%HP: T(3)A(R)F(,);\n1,5", 1, 1, "fraction mark"},
        {"", 1, 1, "no object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const CompileResult r = compileRpl(c.source, bookNames());
        ASSERT_FALSE(r.ok);
        EXPECT_EQ(r.error.line, c.line);
        EXPECT_EQ(r.error.column, c.column);
        EXPECT_NE(r.error.message.find(c.message), std::string::npos) << r.error.message;
    }
}

// Reals: digits as the calculator stores them, shown back in its standard form; and random
// reals survive text -> nibbles -> text -> nibbles.
TEST(RplObjects, RealsAsTheCalculatorStoresAndShowsThem)
{
    struct Case {
        const char* text;
        const char* nibbles; // memory order: exponent, mantissa from its last digit, sign
        const char* shown;
    };
    const Case cases[] = {
        {"1.5", "0000000000000510", "1.5"},
        {"-2.5E-3", "7990000000000529", "-.0025"},
        {"123456789012345", "4102109876543210", "1.23456789012E14"},
        {"0.0", "0000000000000000", "0."},
        {"99999999999999", "4100000000000010", "1.E14"},
    };
    for (const Case& c : cases) {
        const std::optional<Nibbles> body = realBody(c.text);
        ASSERT_TRUE(body) << c.text;
        EXPECT_EQ(nibbleHex(*body), c.nibbles) << c.text;
        EXPECT_EQ(realText(*body), c.shown) << c.text;
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = std::to_string(random() % 1000000007) + "." +
                                 std::to_string(random() % 1000) + "E" +
                                 std::to_string(static_cast<int>(random() % 900) - 450);
        const std::optional<Nibbles> body = realBody(text);
        ASSERT_TRUE(body) << text;
        const std::string shown = realText(*body);
        EXPECT_EQ(realBody(shown), body) << text << " shown as " << shown;
    }
}

// A library is written as NIBHEX after comment lines naming it as its project file does
// (ASPD50.hpp: Title=ASPD50 v1.34, Romid=328 hexadecimal) and listing its visible commands.
TEST(RplObjects, LibrariesAreNamedInCommentsBeforeTheirNibbles)
{
    const TransferFileRead read =
        readTransferFile(readWholeFile(objects("hpairnav/ASPD50/ASPD50.hp")).bytes);
    ASSERT_TRUE(read.ok);
    const std::string text = decompileRpl(read.file.object, bookNames());
    EXPECT_EQ(text.substr(0, text.find("NIBHEX")),
              "@ Library 808: ASPD50 v1.34\n@ ASPDFRM ASPDMNU\n");
}

// The System RPL forms as HP's compiler stores them: %% (5-digit exponent, 15 digits), C% and C%%,
// TAG, HXS in memory order padded with leading zeros, FLASHPTR by bank and command or by the
// book's ^name (IfSetFieldValue is 24004: bank 4, command 24), ROMPTR by the book's ~name; a label
// stores nothing. Written back, integers and binary integers keep ZINT and HXS, since HP's
// compiler reads a bare integer and # as a system binary.
TEST(RplObjects, SystemRplFormsGiveHpToolsNibbles)
{
    Nibbles expected;
    appendNibbleHex("D9D20" "55920" "00000" "000000000000051" "0"
                    "77920" "0000000000000010" "0000000000000029"
                    "D9920" "99999" "000000000000051" "9" "00000" "000000000000000" "0"
                    "CFA20" "20" "1626" "33920" "0000000000000010"
                    "E4A20" "A0000" "00012" "E4A20" "50000"
                    "CA620" "4004200" "CA620" "4004200" "CA620" "4004200"
                    "29E20" "3B0" "350" "29E20" "3B0" "350"
                    "41620" "80000" "21" "0" "E4A20" "51000" "0123456789ABCDEF" "B2130",
                    expected);
    EXPECT_EQ(compiled(":: %% 1.5 C% 1. -2. C%% -1.5E-1 0 TAG ab % 1.\n"
                       "  HXS 5 12 HXS 0 FLASHPTR IfSetFieldValue FLASHPTR 4 24\n"
                       "  LABEL here ^IfSetFieldValue ROMPTR BBDownArrow_ ~BBDownArrow_\n"
                       "  ZINT 12 HXS 10 0123456789ABCDEF ;"),
              expected);
    const std::string text = decompileRpl(readObject(expected).object, bookNames());
    EXPECT_EQ(compiled(text), expected);
    EXPECT_EQ(text, ":: %% 1.5 C% 1. -2. C%% -.15 0. TAG ab % 1. HXS 5 00012 HXS 0 "
                    "FLASHPTR IfSetFieldValue\nFLASHPTR IfSetFieldValue FLASHPTR IfSetFieldValue "
                    "ROMPTR BBDownArrow_ ROMPTR BBDownArrow_ ZINT 12\nHXS 10 0123456789ABCDEF ;\n");
    // The assembler's data words as HP's compiler writes FLASHPTR IfSetFieldValue out for it.
    EXPECT_EQ(compiled(":: CON(5) =DOFLASHP CON(7) =^IfSetFieldValue NIBB 5 33920\n"
                       "  NIBB 16 0000000000000010 CON(5) #3188 ;"),
              compiled(":: FLASHPTR IfSetFieldValue % 1. DUP ;"));
    for (const char* bad : {":: CON(5) =DOREAL ;", ":: CON(2) 256 ;", ":: NIBB 3 12 ;",
                            ":: CON(5) =SEMI ;", ":: %% 1E50000 ;", ":: C% 1. ;",
                            ":: HXS 2 123 ;", ":: HXS G 1 ;",
                            ":: FLASHPTR 1000 1 ;", ":: FLASHPTR NoSuchEntry ;", ":: ~Nope ;",
                            ":: ROMPTR 1 1000 ;", ":: xROMID 328 ;"}) {
        const CompileResult r = compileRpl(bad, bookNames());
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.error.column, 4u) << bad << ": " << r.error.message;
    }
    EXPECT_EQ(compileRpl(":: FLASHPTR IfSetFieldValu ;", bookNames()).error.message,
              "the reference book has no flash pointer ^IfSetFieldValu (nearest: "
              "^IfSetFieldValue, ^IfGetFieldValue, ^GetFieldVals)");
}

// Every command of the shipped 49-series libraries decompiles to text without NIBHEX that builds
// its very nibbles; they call the input form's flash pointers by name, as their sources do, and
// INFTEST's message handler 'DROPFALSE by the book's name that starts with a quote.
TEST(RplObjects, ShippedLibraryCommandsRoundTripThroughText)
{
    std::string all;
    for (const char* file : {"hpairnav/ASPD50/ASPD50.hp", "hpairnav/ALT50/ALT50.hp",
                             "hpairnav/INTERCEPT50/INTERCEPT50.hp",
                             "hpairnav/INFTEST/INFTEST.hp"}) {
        const TransferFileRead read = readTransferFile(readWholeFile(objects(file)).bytes);
        ASSERT_TRUE(read.ok) << file;
        const LibraryRead library = readLibrary(read.file.object);
        ASSERT_TRUE(library.ok) << file;
        for (const LibraryCommand& command : library.parts.commands) {
            const std::string text = decompileRpl(command.object, bookNames());
            EXPECT_EQ(compiled(text), objectNibbles(command.object)) << file << "\n" << text;
            all += text;
        }
    }
    EXPECT_EQ(all.find("NIBHEX"), std::string::npos) << all.substr(all.find("NIBHEX") - 200, 400);
    EXPECT_NE(all.find("FLASHPTR IfSetFieldValue"), std::string::npos);
    EXPECT_NE(all.find(" 'DROPFALSE "), std::string::npos); // a book name starting with '
}
