#include "rpl/lexer.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace scrivlet {
namespace {

const char* shortName(TokenKind kind)
{
    static const char* const kNames[] = {"plain", "cmt", "str", "chr", "st",  "num",
                                         "name",  "id",  "def", "dn",  "loc", "ctl",
                                         "dir",   "alg", "mn",  "lbl", "acmt"};
    return kNames[static_cast<int>(kind)];
}

// Checks what every token list must satisfy: in order, apart, inside the line, no separator at
// either end of any token but a string.
void expectWellFormed(std::string_view line, const std::vector<Token>& tokens)
{
    std::uint32_t previousEnd = 0;
    for (const Token& t : tokens) {
        ASSERT_GT(t.length, 0u) << line;
        ASSERT_GE(t.start, previousEnd) << line;
        ASSERT_LE(t.end(), line.size()) << line;
        if (t.kind != TokenKind::String) {
            EXPECT_GT(static_cast<unsigned char>(line[t.start]), 0x20) << line;
            EXPECT_GT(static_cast<unsigned char>(line[t.end() - 1]), 0x20) << line;
        }
        previousEnd = t.end();
    }
}

// The tokens of the lines as "kind[text]" separated by spaces, the lines by " | ".
std::string lexed(const std::vector<std::string>& lines, LexState state = {})
{
    std::string result;
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        state = lexLine(lines[i], state, tokens);
        expectWellFormed(lines[i], tokens);
        if (i > 0)
            result += " |";
        for (const Token& t : tokens)
            result += std::string(result.empty() ? "" : " ") + shortName(t.kind) + "[" +
                      std::string(t.text(lines[i])) + "]";
    }
    return result;
}

TEST(RplLexer, SnippetsGiveTheirTokens)
{
    // name, lines, their tokens
    const std::vector<std::tuple<const char*, std::vector<std::string>, std::string>> cases = {
        {"comment line, definition, numbers",
         {"* Adds two", "NULLNAME Add2 ( a b -> c )", ":: # 3F #3F %2 %%1.5 % -2.5E3 ZINT 12 ;"},
         "cmt[* Adds two] | def[NULLNAME] dn[Add2] cmt[( a b -> c )] | st[::] num[#] num[3F] "
         "num[#3F] num[%2] num[%%1.5] num[%] num[-2.5E3] dir[ZINT] num[12] st[;]"},
        {"GROB data; an operand that is none is read as what it is; @ notes before «",
         {"@ notes DUP", ":: GROB 8 2 C35A GROB 0000E 10000 ; % DUP # FFh"},
         "cmt[@ notes DUP] | st[::] dir[GROB] num[8] num[2] num[C35A] dir[GROB] num[0000E] "
         "num[10000] st[;] num[%] name[DUP] num[#] num[FFh]"},
        {"( ) comment over two lines, ) ends only a word",
         {":: ( starts here", "  a)b ends ) DROP ;"},
         "st[::] cmt[( starts here] | cmt[a)b ends )] name[DROP] st[;]"},
        {"MASD glued comments",
         {"BINT1 :: (real) DUP (a b) %1+"},
         "name[BINT1] st[::] cmt[(real)] name[DUP] cmt[(a b)] name[%1+]"},
        {"strings with escapes, over lines",
         {"\"a \\\" b\" DUP \"one", "two\" SWAP"},
         "str[\"a \\\" b\"] name[DUP] str[\"one] | str[two\"] name[SWAP]"},
        {"operands that are no entries",
         {"CHR A ID Foo LAM n TAG t INCLUDE my.h", "xTITLE My Library  "},
         "dir[CHR] chr[A] dir[ID] id[Foo] dir[LAM] id[n] dir[TAG] id[t] dir[INCLUDE] id[my.h] | "
         "dir[xTITLE] str[My Library]"},
        {"locals and definitions",
         {"{{ a b }} xNAME Foo LOCALNAME bar EXTERNAL Ext", "DEFINE TWO BINT2 'DROPFALSE"},
         "st[{{] loc[a] loc[b] st[}}] def[xNAME] dn[Foo] def[LOCALNAME] dn[bar] def[EXTERNAL] "
         "dn[Ext] | def[DEFINE] dn[TWO] name[BINT2] name['DROPFALSE]"},
        {"SASM code block",
         {"  CODE", "*  comment line", "LOOP\tA=A+1\tA\t\tcount up", "\tRTNCC\t\tdone here",
          "\tNIBASC\t\\a b\\ text", "  ENDCODE DROP"},
         "dir[CODE] | acmt[*  comment line] | lbl[LOOP] mn[A=A+1] plain[A] acmt[count up] | "
         "mn[RTNCC] acmt[done here] | mn[NIBASC] str[\\a b\\] acmt[text] | dir[ENDCODE] "
         "name[DROP]"},
        {"ASSEMBLE ... RPL",
         {"ASSEMBLE", "=Bank\tEQU\t#09CFA", "RPL", ":: Bank ;"},
         "dir[ASSEMBLE] | lbl[=Bank] mn[EQU] num[#09CFA] | dir[RPL] | st[::] name[Bank] st[;]"},
        {"MASD source: CODE holds MASD",
         {"!NO CODE", "!RPL", "CODE", "*start GOSBVL SAVPTR % save", "EQU Size 10 A=DAT1.A",
          "ENDCODE"},
         "dir[!NO] dir[CODE] | dir[!RPL] | dir[CODE] | lbl[*start] mn[GOSBVL] plain[SAVPTR] "
         "acmt[% save] | def[EQU] dn[Size] num[10] mn[A=DAT1.A] | dir[ENDCODE]"},
        {"ASSEMBLEM on one line",
         {"ASSEMBLEM DC RomId 333 !RPL xROMID 333"},
         "dir[ASSEMBLEM] def[DC] dn[RomId] num[333] dir[!RPL] dir[xROMID] num[333]"},
        {"User RPL transfer file",
         {"%%HP: T(3)A(D)F(.);", "\\<< \\-> a b @ sum @ \\<< a b + 'a*b' # 3Fh #101b (1.,2.)",
          "  IF DUP THEN {1 2} END \\>> \\>>"},
         "cmt[%%HP: T(3)A(D)F(.);] | st[\\<<] ctl[\\->] loc[a] loc[b] cmt[@ sum @] st[\\<<] "
         "name[a] name[b] name[+] alg['a*b'] num[#] num[3Fh] num[#101b] num[(1.,2.)] | ctl[IF] "
         "name[DUP] ctl[THEN] st[{] num[1] num[2] st[}] ctl[END] st[\\>>] st[\\>>]"},
        {"User RPL in the calculator's bytes",
         {"\xAB\x8D x \xAB 1 x FOR i i NEXT\xBB\xBB @ end"},
         "st[\xAB] ctl[\x8D] loc[x] st[\xAB] num[1] name[x] ctl[FOR] loc[i] name[i] ctl[NEXT] "
         "st[\xBB] st[\xBB] cmt[@ end]"},
        {"directory transfer",
         {"DIR", "  A 5", "  P \\<< A 1 + \\>>", "  S \"x\" END"},
         "st[DIR] | dn[A] num[5] | dn[P] st[\\<<] name[A] num[1] name[+] st[\\>>] | dn[S] "
         "str[\"x\"] st[END]"},
        {"System RPL words that are User RPL syntax",
         {":: DO @ LOOP 'x' ( DUP ) ;"},
         "st[::] name[DO] name[@] name[LOOP] name['x'] cmt[( DUP )] st[;]"},
    };
    for (const auto& [name, lines, tokens] : cases)
        EXPECT_EQ(lexed(lines), tokens) << name;
}

TEST(RplLexer, DialectGivenInTheFirstStateHolds)
{
    LexState user, system;
    user.dialect = RplDialect::User;
    system.dialect = RplDialect::System;
    EXPECT_EQ(lexed({"DUP @ note", "* 2"}, user), "name[DUP] cmt[@ note] | name[*] num[2]");
    EXPECT_EQ(lexed({"\\-> x"}, system), "name[\\->] name[x]");
}

// Random lines of RPL-ish pieces, started from every kind of state: the tokens stay well formed,
// lexing never reads outside the line (checked under the address sanitizer), and the state
// after each line packs into 31 bits and back.
TEST(RplLexer, RandomLinesGiveWellFormedTokensAndStates)
{
    // clang-format off
    static const char* const kPieces[] = {
        " ", "\t", "(", ")", "\"", "\\", "@", "'", "*", "%", ";", "::", "{", "}}", "[", "]", "\xAB",
        "\xBB", "\x8D", "\\<<", "\\>>", "CODE", "ENDCODE", "RPL", "!RPL", "!ASM", "DIR", "END", "#",
        "3F", "h", "DUP", "NULLNAME", "CHR", "\r", "\n", "ASSEMBLE", "ASSEMBLEM", "\\->", "(1,2)",
        "A=A+1", "NIBASC", "EQUCP", "FOR", "{{", "x"};
    // clang-format on
    std::mt19937 random(11);
    std::vector<Token> tokens;
    for (int round = 0; round < 3000; ++round) {
        // Half the rounds lex a text from its start, line after line; their states must pack.
        const bool fromStart = round % 2;
        LexState state = fromStart
                             ? LexState{}
                             : LexState::fromPacked(static_cast<std::uint32_t>(random()) >> 1);
        for (int n = 0; n < 4; ++n) {
            std::string line;
            for (int i = static_cast<int>(random() % 12); i > 0; --i)
                line += kPieces[random() % std::size(kPieces)];
            // A copy exactly as long as the line, so that any read past it is caught.
            const std::vector<char> exact(line.begin(), line.end());
            state = lexLine(std::string_view(exact.data(), exact.size()), state, tokens);
            expectWellFormed(line, tokens);
            if (fromStart) {
                EXPECT_LT(state.packed(), 1u << 31);
                EXPECT_EQ(LexState::fromPacked(state.packed()), state);
            }
        }
    }
}

TEST(RplLexer, EveryValueOfEveryStateFieldSurvivesPacking)
{
    const auto survives = [](const LexState& state) {
        return LexState::fromPacked(state.packed()) == state && state.packed() < (1u << 31);
    };
    LexState s;
    for (int v = 0; v <= int(LexState::Region::Last); ++v)
        EXPECT_TRUE(survives((s = {}, s.region = LexState::Region(v), s))) << v;
    for (int v = 0; v <= int(LexState::Expect::Last); ++v)
        EXPECT_TRUE(survives((s = {}, s.expect = LexState::Expect(v), s.expectCount = 3, s))) << v;
    for (int v = 0; v <= int(DefinitionKind::Last); ++v)
        EXPECT_TRUE(survives((s = {}, s.definer = DefinitionKind(v), s))) << v;
    for (int v = 0; v <= int(RplDialect::Last); ++v)
        EXPECT_TRUE(survives((s = {}, s.dialect = RplDialect(v), s.dirDepth = 7, s))) << v;
    EXPECT_TRUE(survives((s = {}, s.objectDepth = 255, s.expectDirName = true, s.inString = true, s)));
}

} // namespace
} // namespace scrivlet
