#include "calculator/transfer_escapes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace scrivlet;

// All 256 bytes, then random strings drawn half from the characters that make escapes, so
// that backslashes, digits and mnemonic halves meet in every order.
TEST(TransferEscapes, EveryByteStringComesBackUnchanged)
{
    std::vector<std::string> samples(1);
    for (int byte = 0; byte < 256; ++byte)
        samples[0].push_back(static_cast<char>(byte));
    std::mt19937 random(20261207);
    const std::string tricky = "\\\\\\<>-=0129Gg|.x/";
    for (int i = 0; i < 2000; ++i) {
        std::string sample(random() % 24, '\0');
        for (char& c : sample)
            c = random() % 2 ? tricky[random() % tricky.size()] : static_cast<char>(random());
        samples.push_back(sample);
    }
    for (const std::string& bytes : samples) {
        const BytesToEscapesResult escaped = bytesToEscapes(bytes);
        EXPECT_TRUE(std::none_of(escaped.text.begin(), escaped.text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) > 127; }));
        const EscapesToBytesResult back = escapesToBytes(escaped.text);
        ASSERT_EQ(back.bytes, bytes);
        EXPECT_EQ(back.converted, escaped.converted);
        EXPECT_EQ(back.unknown, 0u);
    }
}

TEST(TransferEscapes, EscapesAsTranslationModeThreeWritesThemAndUnknownOnesKept)
{
    const std::pair<int, std::string> cases[] = {
        {128, "\\<)"}, {133, "\\GS"},  {141, "\\->"},  {159, "\\oo"}, {160, "\\160"}, {171, "\\<<"},
        {176, "\\^o"}, {181, "\\Gm"},  {187, "\\>>"},  {215, "\\.x"}, {216, "\\O/"},  {223, "\\Gb"},
        {247, "\\:-"}, {255, "\\255"}, {'\\', "\\\\"}, {'A', ""},     {'\n', ""}};
    for (const auto& [byte, escape] : cases)
        EXPECT_EQ(transferEscape(static_cast<unsigned char>(byte)), escape) << byte;
    EXPECT_EQ(escapesToBytes("\\065\\000\\255").bytes, std::string("A\0\xFF", 3));
    // Backslashes that start no escape are kept and counted.
    const std::string text = "\"C:\\q\" \\256 \\12 \\0/ \\";
    const EscapesToBytesResult read = escapesToBytes(text);
    EXPECT_EQ(std::tie(read.bytes, read.unknown, read.converted), std::tuple(text, 5u, 0u));
}

// A header already there is kept as it is, and says which translation mode it asks for.
TEST(CalculatorFile, UserRplProgramBothWaysAndTheHeaderKeptOrAdded)
{
    const std::string text = "%%HP: T(3)A(R)F(.);\r\n\\<< \\-> x\r\n  \\<< x SQ \\>>\r\n\\>>";
    const std::string bytes = "%%HP: T(3)A(R)F(.);\r\n\xAB \x8D x\r\n  \xAB x SQ \xBB\r\n\xBB";
    EXPECT_EQ(escapesToBytes(text).bytes, bytes);
    const CalculatorFileText file = calculatorFileText(bytes);
    EXPECT_EQ(file.text, text);
    EXPECT_EQ(file.converted, 5u);
    EXPECT_EQ(file.translationMode, 3);
    const CalculatorFileText added = calculatorFileText("\xAB 1 \xBB");
    EXPECT_EQ(added.text, "%%HP: T(3)A(R)F(.);\r\n\\<< 1 \\>>");
    EXPECT_TRUE(added.headerAdded);
    const CalculatorFileText kept = calculatorFileText("%%HP: T(0)A(D)F(,);\r\n\xAB\\");
    EXPECT_EQ(kept.text, "%%HP: T(0)A(D)F(,);\r\n\\<<\\\\");
    EXPECT_EQ(kept.translationMode, 0);
    EXPECT_EQ(calculatorFileText("%%HP: A(R);").translationMode, -1);
    EXPECT_FALSE(hasCalculatorHeader(" %%HP: T(3);"));
}
