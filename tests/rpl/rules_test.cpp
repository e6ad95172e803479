#include "rpl/defined_names.h"
#include "rpl/definitions.h"
#include "rpl/pairs.h"
#include "rpl/unknown_names.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace scrivlet {
namespace {

// A text written with ^ at the caret and ~ just before the expected partner, both taken out:
// the text, the caret and the partner (-1 for none).
std::tuple<std::string, std::int64_t, std::int64_t> marked(std::string_view written)
{
    std::string text;
    std::int64_t caret = 0, partner = -1;
    for (const char c : written) {
        if (c == '^' || c == '~')
            (c == '^' ? caret : partner) = std::ssize(text);
        else
            text += c;
    }
    return {text, caret, partner};
}

// What the random texts below leave out: the caret after a closer, escapes, {{ }}, UNIT, and
// a caret at no structure word.
TEST(RplPairs, CaretNextToAStructureWordFindsItsPartner)
{
    const std::pair<const char*, PairStatus> cases[] = {
        {":: ~{ 1 }^ ;", PairStatus::Matched},
        {"~\xAB 1 \\<< 2 \\>> \xBB^", PairStatus::Matched},
        {"^{{ a b ~}} a", PairStatus::Matched},
        {":: ^UNIT %1 ~; ;", PairStatus::Matched},
        {":: ~\xAB 1 ;^", PairStatus::Mismatched},
        {"DU^P", PairStatus::NoBracket},
    };
    for (const auto& [written, status] : cases) {
        const auto [text, caret, partner] = marked(written);
        const OffsetPairMatch match = matchPair(text, caret);
        EXPECT_EQ(match.status, status) << written;
        EXPECT_TRUE(partner < 0 || match.partner == partner) << written;
    }
}

TEST(RplPairs, TheScanStopsAtItsLimit)
{
    std::string text = "::\r\n";
    for (int i = 0; i < 1000; ++i)
        text += "  DUP DROP\r\n";
    text += ";";
    EXPECT_EQ(matchPair(text, 0, {.maxBytes = 4000}).status, PairStatus::LimitReached);
    EXPECT_EQ(matchPair(text, 0, {.maxBytes = 20000}).status, PairStatus::Matched);
    EXPECT_EQ(matchPair(text, static_cast<std::int64_t>(text.size()), {.maxBytes = 4000}).status,
              PairStatus::LimitReached);
}

// Random texts against a model that reads only the real brackets (those outside comments,
// strings and assembler, which the generator knows): a stack, the innermost waiting bracket
// taken by each closer, the kinds compared when the bracket at the caret is taken.
TEST(RplPairs, AgreesWithAStackOverTheRealBrackets)
{
    struct Piece {
        const char* text;
        int bracket; // 0 none; 1.. opener kinds; -1.. closer kinds
    };
    // clang-format off
    static const Piece kPieces[] = {
        {"::", 1}, {";", -1}, {"{", 2}, {"}", -2}, {"\xAB", 3}, {"\xBB", -3}, {"DUP", 0},
        {"( ; } )", 0}, {"\"{ ::\"", 0}, {"\r\n", 0}, {"\r\n( ::\r\n;; )", 0},
        {"\r\nCODE\r\n { ; }\r\nENDCODE\r\n", 0},
    };
    // clang-format on
    const auto fits = [](int opener, int closer) {
        return opener + closer == 0 || (opener == 2 && closer == -1);
    };
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::string text = "NULLNAME X\r\n"; // System RPL from the start
        std::vector<std::pair<std::int64_t, int>> brackets;
        for (int i = 0; i < 30; ++i) {
            const Piece& p = kPieces[random() % std::size(kPieces)];
            if (!text.empty() && text.back() != '\n')
                text += ' ';
            if (p.bracket != 0)
                brackets.emplace_back(static_cast<std::int64_t>(text.size()), p.bracket);
            text += p.text;
        }
        for (std::size_t b = 0; b < brackets.size(); ++b) {
            const bool forward = brackets[b].second > 0;
            std::vector<int> stack{brackets[b].second};
            OffsetPairMatch expected{forward ? PairStatus::Unclosed : PairStatus::Unopened,
                                     brackets[b].first, 1};
            for (std::size_t k = b; forward ? ++k < brackets.size() : k-- > 0;) {
                const int next = brackets[k].second;
                if ((next > 0) == forward) {
                    stack.push_back(next);
                    continue;
                }
                const int waiting = stack.back();
                stack.pop_back();
                if (stack.empty()) {
                    const bool ok = forward ? fits(waiting, next) : fits(next, waiting);
                    expected.status = ok ? PairStatus::Matched : PairStatus::Mismatched;
                    expected.partner = brackets[k].first;
                    expected.partnerLength = text.compare(brackets[k].first, 2, "::") ? 1 : 2;
                    break;
                }
            }
            expected.bracketLength = text.compare(brackets[b].first, 2, "::") ? 1 : 2;
            ASSERT_EQ(matchPair(text, brackets[b].first), expected) << text << " at " << b;
        }
    }
}

TEST(RplDefinitions, EveryDefiningFormIsFoundWithItsPlace)
{
    const std::string text = "NULLNAME Helper\r\n"
                             "xNAME Cmd ( -> )\r\n"
                             ":: {{ a b }} LOCALNAME loc LABEL here DEFINE TWO BINT2 ;\r\n"
                             "EXTERNAL Ext\r\n"
                             "ASSEMBLE\r\n"
                             "=Bank\tEQU #5\r\n"
                             "+\tRTN\r\n"
                             "RPL\r\n"
                             "CODEM *loop EQU Size 4 ENDCODE";
    const auto found = [](const TextLines& lines) {
        std::vector<std::string> out;
        for (const Definition& d : findDefinitions(lines))
            out.push_back(d.name + "@" + std::to_string(d.place.line) + ":" +
                          std::to_string(d.place.column));
        return out;
    };
    const TextLines lines(text);
    EXPECT_EQ(found(lines), (std::vector<std::string>{
                                "Helper@0:9", "Cmd@1:6", "a@2:6", "b@2:8", "loc@2:23", "here@2:33",
                                "TWO@2:45", "Ext@3:9", "Bank@5:1", "loop@8:7", "Size@8:16"}));
    EXPECT_EQ(found(TextLines("\\<< \\-> x \\<< x 'Var' STO \\>> \\>>\r\nDIR A 1 END")),
              (std::vector<std::string>{"x@0:8", "Var@0:17", "A@1:4"}));

    using enum DefinitionKind;
    const std::pair<const char*, std::optional<DefinitionKind>> references[] = {
        {"xCmd", XName},       {"Cmd", XName},        {"'Helper", NullName},
        {"!a", LocalVariable}, {"b@", LocalVariable}, {"=a", LocalVariable},
        {"Bank", AsmLabel},    {"Size", Equate},      {"xHelper", std::nullopt},
        {"+", std::nullopt}};
    for (const auto& [word, kind] : references) {
        const auto definition = findDefinition(lines, word);
        EXPECT_EQ(definition ? std::optional(definition->kind) : std::nullopt, kind) << word;
    }
}

TEST(RplUnknownNames, OnlyUnexplainedSystemRplNamesAreUnknown)
{
    const std::set<std::string, std::less<>> book = {"DUP",    "'DROPFALSE", "BINT2", "xSTO",
                                                     "x>LIST", "~xROW\\->",  "xC>R"};
    const ReferenceBook inBook = [&](std::string_view w) { return book.contains(w); };
    const std::string text = "INCLUDE my.h\r\n"
                             "NULLNAME Mine DEFINE TWO BINT2 LIBID\r\n"
                             ":: {{ n }} DUP Mine n! 'DROPFALSE 'Mine ID Foo LAM x DUPP\r\n"
                             "  \"Typo\" ( Typo ) # 3F %2 TWO CODE\r\n"
                             "\tGOSBVL =Typo\r\n"
                             "ENDCODE Typo2 ;";
    const TextLines lines(text);
    DefinedNames defined;
    for (const Definition& d : findDefinitions(lines))
        defined.add(d.name, d.kind);
    std::vector<std::string> unknown;
    std::vector<Token> tokens;
    std::string scratch;
    for (std::size_t i = 0; i < lines.lineCount(); ++i) {
        const std::string_view line = lines.lineText(i, scratch);
        const LexState state = lexLine(line, lines.stateBefore(i), tokens);
        for (const Token& t : tokens)
            if (checkName(line, t, state.dialect, defined, inBook) == NameCheck::Unknown)
                unknown.emplace_back(t.text(line));
    }
    EXPECT_EQ(unknown, (std::vector<std::string>{"DUPP", "Typo2"}));

    std::vector<Token> user;
    const std::string program = "\\<< DUPP \\>>";
    const LexState state = lexLine(program, {}, user);
    EXPECT_EQ(checkName(program, user[1], state.dialect, defined, inBook), NameCheck::NotChecked);

    const std::vector<std::pair<std::string_view, std::string>> commands = {
        {"STO", "xSTO"},          {"\\->LIST", "x>LIST"}, {"\x8DLIST", "x>LIST"},
        {"ROW\\->", "~xROW\\->"}, {"C\\->R", "xC>R"},     {"SWPA", ""}};
    for (const auto& [word, entry] : commands)
        EXPECT_EQ(userCommandEntry(word, inBook).value_or(""), entry) << word;
}

} // namespace
} // namespace scrivlet
