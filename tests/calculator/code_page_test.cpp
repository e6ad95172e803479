#include "calculator/calculator_charset.h"
#include "common/windows1252.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace scrivlet;

// Every character against a plain map of the table: a table character gives its byte, a
// listed look-alike its byte, anything else nothing. The map also proves the 256 distinct.
TEST(CodePages, LookupAgreesWithAPlainMapForEveryCharacter)
{
    const std::map<char16_t, int> calculatorLookAlikes = {
        {u'\u2221', 128}, {u'\u2211', 133}, {u'\u25BA', 134}, {u'\u2206', 155},
        {u'\u220F', 156}, {u'\u2126', 157}, {u'\u03BC', 181}, {u'\u03B2', 223}};
    const std::pair<const CodePageTable*, std::map<char16_t, int>> tables[] = {
        {&calculatorCodePage(), calculatorLookAlikes}, {&windows1252CodePage(), {}}};
    for (const auto& [table, lookAlikes] : tables) {
        std::map<char16_t, int> model = lookAlikes;
        for (int byte = 0; byte < 256; ++byte) {
            EXPECT_TRUE(model.emplace(table->charOf(byte), byte).second) << "shared by " << byte;
            EXPECT_TRUE(byte > 127 || table->charOf(byte) == byte) << "ASCII is itself everywhere";
        }
        for (unsigned code = 0; code <= 0xFFFF; ++code) {
            const auto at = model.find(static_cast<char16_t>(code));
            const auto expected =
                at == model.end() ? std::nullopt : std::optional<unsigned char>(at->second);
            ASSERT_EQ(table->byteOf(static_cast<char16_t>(code)), expected) << code;
        }
    }
}

TEST(CodePages, CalculatorCharactersWhereTheyDifferFromWindows1252)
{
    const std::tuple<unsigned char, char16_t, char16_t> cases[] = {
        {128, u'∠', u'€'}, {129, u'ā', u'\u0081'}, {133, u'Σ', u'…'}, {141, u'→', u'\u008D'},
        {159, u'∞', u'Ÿ'}, {160, u'€', u'\u00A0'}, {171, u'«', u'«'}, {223, u'ß', u'ß'}};
    for (const auto& [byte, calculator, windows1252] : cases) {
        EXPECT_EQ(calculatorCodePage().charOf(byte), calculator) << int(byte);
        EXPECT_EQ(windows1252CodePage().charOf(byte), windows1252) << int(byte);
    }
}

TEST(CodePages, PastedTextShowsTheCalculatorsOwnCharacters)
{
    EXPECT_EQ(calculatorShownText(u"x\u0304+x\u0305y ∑∡ x ⇒\u00A0"), u"ā+āy Σ∠ x ⇒\u00A0");
}
