#include "editor/text_model.h"
#include "editor/text_word_counter.h"

#include <gtest/gtest.h>
#include <random>

using namespace scrivlet;

namespace {

// A text whose counter hears of every change, as the editor's signals tell it.
struct CountedText final : TextModel::Observer {
    TextModel text;
    TextWordCounter counter;
    explicit CountedText(std::int64_t large) : counter(large) { text.setObserver(this); }
    void textAboutToChange(std::int64_t f, std::int64_t t) override
    {
        counter.aboutToChange(text, f, t);
    }
    void textChanged(const TextModel::Change& c) override
    {
        counter.changed(text, c.removed, c.inserted);
    }
};

// Random edits, undos, redos, new texts and counting in pieces (changes counted as "large" from
// a few bytes on): the counts always equal a full recount of the part of the text counted so
// far, no word crosses where that part ends, and counting the rest completes them.
TEST(TextWordCounter, StaysEqualToAFullRecountUnderRandomEdits)
{
    std::mt19937 random(20261207);
    const auto pick = [&](std::int64_t n) {
        return std::uniform_int_distribution<std::int64_t>(0, n)(random);
    };
    const auto bytes = [&](int maxLength) {
        std::string b(static_cast<std::size_t>(pick(maxLength)), ' ');
        for (char& c : b)
            c = "aAb \t\r\n"[pick(6)];
        return b;
    };
    for (int round = 0; round < 300; ++round) {
        CountedText t(4 + pick(36));
        for (int step = 0; step < 60; ++step) {
            const std::int64_t a = pick(t.text.length());
            const std::int64_t b = pick(t.text.length());
            const std::int64_t action = pick(4);
            if (step % 20 == 0)
                t.text.setText(bytes(60));
            else if (step == 59 || action == 1) // at the end, the rest of the text
                t.counter.countMore(t.text, step == 59 ? t.text.length() : pick(20));
            else if (action == 0)
                b % 2 ? t.text.undo() : t.text.redo();
            else
                t.text.replace(std::min(a, b), std::max(a, b), bytes(12), EditKind::Other, {});
            const std::string text = t.text.text();
            const auto counted =
                static_cast<std::size_t>(t.counter.pendingFrom().value_or(text.size()));
            WordCounts expected;
            expected.addWords(std::string_view(text).substr(0, counted));
            ASSERT_TRUE(t.counter.counts() == expected) << "round " << round << " step " << step;
            ASSERT_TRUE(step < 59 || !t.counter.pendingFrom());
            ASSERT_TRUE(counted == 0 || counted == text.size() ||
                        isCountedWordSeparator(text[counted - 1]) ||
                        isCountedWordSeparator(text[counted]));
        }
    }
}

} // namespace
