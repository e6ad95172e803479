#include "editor/rpl_defined_names.h"
#include "editor/rpl_definitions.h"
#include "editor/rpl_pairs.h"
#include "editor/rpl_unknown_names.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace scrivlet {
namespace {

// A text written with ^ at the caret and ~ just before the expected partner, both taken out.
struct Marked {
    std::string text;
    std::int64_t caret = 0;
    std::int64_t partner = -1;
};

Marked marked(std::string_view written)
{
    Marked m;
    for (const char c : written) {
        if (c == '^')
            m.caret = static_cast<std::int64_t>(m.text.size());
        else if (c == '~')
            m.partner = static_cast<std::int64_t>(m.text.size());
        else
            m.text += c;
    }
    return m;
}

struct PairCase {
    const char* name;
    const char* written;
    PairStatus status;
};

TEST(RplPairs, CaretNextToAStructureWordFindsItsPartner)
{
    const std::vector<PairCase> cases = {
        {"nested secondaries", "^:: :: DUP ; ~;", PairStatus::Matched},
        {"caret after a closer", ":: ~{ 1 }^ ;", PairStatus::Matched},
        {"over lines, not in comments or strings", "^::\r\n  { ( } ) \"{ ;\" }\r\n~;",
         PairStatus::Matched},
        {"not in assembler", "^::\r\nCODE\r\n\t{ ;\r\nENDCODE\r\n~;", PairStatus::Matched},
        {"a list may end with ;", "^{ 1 2 ~;", PairStatus::Matched},
        {"program bytes and escapes", "~\xAB 1 \\<< 2 \\>> \xBB^", PairStatus::Matched},
        {"{{ with }}", "^{{ a b ~}} a", PairStatus::Matched},
        {"UNIT ends with ;", ":: ^UNIT %1 ~; ;", PairStatus::Matched},
        {"opener never closed", "^:: DUP", PairStatus::Unclosed},
        {"closer without opener", "DUP ;^", PairStatus::Unopened},
        {"secondary closed by }", "^:: DUP ~}", PairStatus::Mismatched},
        {"program closed by ;", ":: ~\xAB 1 ;^", PairStatus::Mismatched},
        {"no structure word", "DU^P", PairStatus::NoBracket},
    };
    for (const PairCase& c : cases) {
        const Marked m = marked(c.written);
        const OffsetPairMatch match = matchPair(m.text, m.caret);
        EXPECT_EQ(match.status, c.status) << c.name;
        if (m.partner >= 0) {
            EXPECT_EQ(match.partner, m.partner) << c.name;
        }
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
    static const Piece kPieces[] = {
        {"::", 1},
        {";", -1},
        {"{", 2},
        {"}", -2},
        {"\xAB", 3},
        {"\xBB", -3},
        {"DUP", 0},
        {"( ; } )", 0},
        {"\"{ ::\"", 0},
        {"\r\n", 0},
        {"\r\n( ::\r\n;; )", 0},
        {"\r\nCODE\r\n { ; }\r\nENDCODE\r\n", 0},
    };
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
    const TextLines lines(text);
    std::vector<std::string> found;
    for (const Definition& d : findDefinitions(lines))
        found.push_back(d.name + "@" + std::to_string(d.place.line) + ":" +
                        std::to_string(d.place.column));
    const std::vector<std::string> expected = {"Helper@0:9", "Cmd@1:6",   "a@2:6",    "b@2:8",
                                               "loc@2:23",   "here@2:33", "TWO@2:45", "Ext@3:9",
                                               "Bank@5:1",   "loop@8:7",  "Size@8:16"};
    EXPECT_EQ(found, expected);
    const TextLines user("\\<< \\-> x \\<< x 'Var' STO \\>> \\>>\r\nDIR A 1 END");
    found.clear();
    for (const Definition& d : findDefinitions(user))
        found.push_back(d.name + "@" + std::to_string(d.place.line) + ":" +
                        std::to_string(d.place.column));
    EXPECT_EQ(found, (std::vector<std::string>{"x@0:8", "Var@0:17", "A@1:4"}));

    const std::vector<std::pair<const char*, DefinitionKind>> references = {
        {"xCmd", DefinitionKind::XName},       {"Cmd", DefinitionKind::XName},
        {"'Helper", DefinitionKind::NullName}, {"!a", DefinitionKind::LocalVariable},
        {"b@", DefinitionKind::LocalVariable}, {"=a", DefinitionKind::LocalVariable},
        {"Bank", DefinitionKind::AsmLabel},    {"Size", DefinitionKind::Equate},
    };
    for (const auto& [word, kind] : references) {
        const auto definition = findDefinition(lines, word);
        ASSERT_TRUE(definition.has_value()) << word;
        EXPECT_EQ(definition->kind, kind) << word;
    }
    EXPECT_FALSE(findDefinition(lines, "xHelper").has_value());
    EXPECT_FALSE(findDefinition(lines, "+").has_value());
}

TEST(RplDefinitions, DefinedNamesFollowLinesAddedAndRemoved)
{
    DefinedNames names;
    names.add("Cmd", DefinitionKind::XName);
    names.add("Cmd", DefinitionKind::NullName);
    names.add("n", DefinitionKind::LocalVariable);
    EXPECT_TRUE(names.contains("xCmd"));
    EXPECT_TRUE(names.contains("n@"));
    EXPECT_FALSE(names.contains("xn"));
    names.remove("Cmd", DefinitionKind::XName);
    EXPECT_TRUE(names.contains("Cmd"));
    EXPECT_FALSE(names.contains("xCmd"));
    names.remove("Cmd", DefinitionKind::NullName);
    names.remove("n", DefinitionKind::LocalVariable);
    names.remove("never", DefinitionKind::Label);
    EXPECT_TRUE(names.empty());
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

TEST(RplLines, OffsetsAndPointsCountBothBytesOfCrLf)
{
    const TextLines lines("ab\r\nc\rd\r\n\r\nxyz");
    EXPECT_EQ(lines.lineCount(), 4u);
    const std::vector<std::pair<std::int64_t, TextPoint>> places = {
        {0, {0, 0}}, {2, {0, 2}},  {3, {0, 2}},  {4, {1, 0}},  {6, {1, 2}},
        {9, {2, 0}}, {11, {3, 0}}, {14, {3, 3}}, {99, {3, 3}}, {-5, {0, 0}}};
    for (const auto& [offset, point] : places) {
        EXPECT_EQ(lines.pointOf(offset), point) << offset;
        if (offset != 3 && offset >= 0 && offset <= 14) {
            EXPECT_EQ(lines.offsetOf(point), offset) << offset;
        }
    }
}

} // namespace
} // namespace scrivlet
