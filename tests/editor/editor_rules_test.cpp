#include "common/lookup_guard.h"
#include "common/virtual_keys.h"
#include "editor/editor_rules.h"
#include "editor/typing_rules.h"

#include <gtest/gtest.h>
#include <string>

using namespace scrivlet;

TEST(WordSpan, FollowsSeparatorsAndLimitsAndGuardsTheLookup)
{
    // name, text, caret, span, the word it gives, whether the word is looked up
    // clang-format off
    const std::tuple<const char*, std::string, std::int64_t, WordSpan, std::string, bool> cases[] = {
        {"empty editor", "", 0, {1, 0}, "", false},
        {"caret at 0 before DUP", "DUP", 0, {1, 3}, "DUP", true},
        {"caret inside DUP", "DUP", 2, {1, 3}, "DUP", true},
        {"caret at the end after a space", "1 DUP", 5, {3, 5}, "DUP", true},
        {"after a space, word after the caret", "1 DUP", 2, {3, 5}, "DUP", true},
        {"after a lone CR", "1\rDUP", 2, {3, 5}, "DUP", true},
        {"after a lone LF", "1\nDUP", 2, {3, 5}, "DUP", true},
        {"start of a line", "::\r\nDUP", 4, {5, 7}, "DUP", true},
        {"end of a line", "DUP\r\nSWAP", 3, {1, 3}, "DUP", true},
        {"empty line between breaks", "::\r\n\r\n;", 4, {5, 4}, "", false},
        {"between two spaces", "A  B", 2, {3, 2}, "", false},
        {"caret inside a CR LF pair", "AB\r\nCD", 3, {4, 3}, "", false},
        {"Tab belongs to the word", "x\tDU", 4, {1, 4}, "x\tDU", true},
        {"60-run, caret at its end", std::string(60, 'A'), 60, {11, 60}, std::string(50, 'A'), true},
        {"50-run, caret at its end", std::string(50, 'A'), 50, {1, 50}, std::string(50, 'A'), true},
        {"51-run, caret at its end", std::string(51, 'A'), 51, {2, 51}, std::string(50, 'A'), true},
        {"60-run, caret at its start", std::string(60, 'A'), 0, {1, 50}, std::string(50, 'A'), true},
        {"120-run, caret in the middle", std::string(120, 'A'), 60, {11, 110}, std::string(100, 'A'), true},
        {"120-run after a separator", " " + std::string(120, 'A'), 61, {12, 111}, std::string(100, 'A'), true},
        {"word star alone", "1 *", 3, {3, 3}, "*", false},
        {"word star with a letter", "*A", 2, {1, 2}, "*A", true},
        {"two stars", "**", 2, {1, 2}, "**", true},
        {"word with an apostrophe", "D'A", 2, {1, 3}, "D'A", true},
        {"word with a percent sign", "%1", 1, {1, 2}, "%1", true},
        {"high byte", "\xA0x", 1, {1, 2}, "\xA0x", true},
    };
    // clang-format on
    for (const auto& [name, text, caret, expected, word, lookedUp] : cases) {
        const WordSpan span = findWordSpan(text, 0, caret, std::ssize(text));
        EXPECT_EQ(span, expected) << name;
        EXPECT_EQ(lookupWord(text, 0, span), word) << name;
        EXPECT_EQ(passesLookupGuard(lookupWord(text, 0, span)), lookedUp) << name;
    }
    // With Tab Ends a Word a Tab is a separator on both sides of the caret.
    const std::string tabbed = "x\tDU\tP";
    EXPECT_EQ(findWordSpan(tabbed, 0, 4, 7, TabInWord::EndsWord), (WordSpan{3, 4}));
    EXPECT_EQ(findWordSpan(tabbed, 0, 2, 7, TabInWord::EndsWord), (WordSpan{3, 4}));
}

TEST(CaretReadOut, LineAndColumn)
{
    const std::pair<std::string, LineColumn> cases[] = {
        {"", {1, 1}},         {"::\r\na", {2, 2}},       {"::\r\n", {2, 1}},
        {"::\r\n\r", {2, 2}}, {"a\r\nb\r\nabc", {3, 4}}, {"ab\ncd", {1, 6}},
        {"ab\rcd", {1, 6}},   {"a\r\r\n", {2, 1}},       {"a\r\n\n", {2, 2}},
        {"\r\n\r\n", {3, 1}}, {"\n\r", {1, 3}},
    };
    for (const auto& [before, expected] : cases)
        EXPECT_EQ(lineColumnOf(before), expected) << testing::PrintToString(before);
    EXPECT_EQ(positionCaption({3000000, 10}), "POS: 3000000,10");
}

TEST(Indentation, Width)
{
    const std::pair<std::string, int> widths[] = {
        {"", 0},      {"x", 0},    {"  x", 2},          {"   ", 3},
        {"\t  x", 0}, {" \tx", 1}, {"    DUP SWAP", 4}, {"\xA0x", 0},
    };
    for (const auto& [line, width] : widths)
        EXPECT_EQ(indentWidth(line), width) << testing::PrintToString(line);
}

TEST(TypingRules, WhatAReleasedKeyDoesInTheEditor)
{
    using A = KeyUpAction;
    const KeyUpState armed{true, false}, disarmed{false, false}, escLeftList{true, true};
    EXPECT_EQ(keyUpAction(vk::Enter, armed), A::Indent);
    EXPECT_EQ(keyUpAction(vk::Enter, disarmed), A::None);
    EXPECT_EQ(keyUpAction(vk::Escape, escLeftList), A::None);
    EXPECT_EQ(keyUpAction(vk::Space, escLeftList), A::EmptyWordSpan);
    EXPECT_EQ(keyUpAction(vk::F3, disarmed), A::SearchFrame);
    for (int key : {vk::Left, vk::Up, vk::Right, vk::Down})
        EXPECT_EQ(keyUpAction(key, disarmed), A::LookUp) << key;
    for (int key : {int{'D'}, vk::Escape, vk::Backspace, vk::Delete, vk::Home, vk::Shift, vk::Tab,
                    vk::F1, vk::F3 + 1})
        EXPECT_EQ(keyUpAction(key, armed), A::LookUpMovingFocus) << key;
    EXPECT_EQ(keyUpAction('D', escLeftList), A::LookUpMovingFocus);
    // The jumps move the caret as the arrows do; Ctrl on its own, ] typed alone, do not.
    const KeyUpState ctrl{true, false, true, false}, afterJump{true, false, false, true};
    EXPECT_EQ(keyUpAction(vk::F12, armed), A::LookUp);
    EXPECT_EQ(keyUpAction(vk::CloseBracket, ctrl), A::LookUp);
    EXPECT_EQ(keyUpAction(vk::Control, afterJump), A::LookUp);
    EXPECT_EQ(keyUpAction(vk::CloseBracket, armed), A::LookUpMovingFocus);
    EXPECT_EQ(keyUpAction(vk::Control, ctrl), A::LookUpMovingFocus);
}

TEST(TypingRules, WhatACharacterTypedInTheListDoes)
{
    using A = ListKeyAction;
    EXPECT_EQ(listKeyAction(vk::Enter, vk::Enter), A::NewIndentedLine);
    EXPECT_EQ(listKeyAction(vk::Enter, 'D'), A::InsertEntry);
    EXPECT_EQ(listKeyAction(vk::Backspace, vk::Enter), A::DeleteBeforeCaret);
    for (int code : {int{'U'}, int{' '}, int{'~'}, 0x81, 0xE9, 0xFF})
        EXPECT_EQ(listKeyAction(code, vk::Enter), A::WriteCharacter) << code;
    for (int code : {0, vk::Tab, vk::Escape, 31, 127})
        EXPECT_EQ(listKeyAction(code, vk::Enter), A::ReturnToEditor) << code;
}

TEST(TypingRules, BackspaceDeletesTheLineBreakOrTheByteBeforeTheCaret)
{
    const std::tuple<std::int64_t, std::string, std::optional<ByteRange>> cases[] = {
        // clang-format off
        {0, "", std::nullopt}, {1, "a", ByteRange{0, 1}}, {5, "ab", ByteRange{4, 1}},
        {4, "\r\n", ByteRange{2, 2}}, {2, "\r\n", ByteRange{0, 2}}, {3, "\n\r", ByteRange{2, 1}},
        {1, "\n", ByteRange{0, 1}}, {9, "\r\r", ByteRange{8, 1}}, {6, "\n\n", ByteRange{5, 1}},
        // clang-format on
    };
    for (const auto& [caret, before, deleted] : cases)
        EXPECT_EQ(backspaceDeletion(caret, before), deleted) << caret;
}
