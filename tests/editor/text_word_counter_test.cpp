#include "editor/text_model.h"
#include "editor/text_word_counter.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace scrivlet;

namespace {

// A text whose counter hears of every change, as the editor's signals tell it.
struct CountedText final : TextModel::Observer {
    TextModel text;
    TextWordCounter counter;
    explicit CountedText(std::int64_t largeChange) : counter(largeChange)
    {
        text.setObserver(this);
    }
    void textAboutToChange(std::int64_t from, std::int64_t to) override
    {
        counter.aboutToChange(text, from, to);
    }
    void textChanged(const TextModel::Change& change) override
    {
        counter.changed(text, change.removed, change.inserted);
    }
};

std::string randomBytes(std::mt19937& random, int maxLength)
{
    static constexpr char kAlphabet[] = {'a', 'A', 'b', ' ', '\t', '\r', '\n'};
    std::string bytes(
        static_cast<std::size_t>(std::uniform_int_distribution<int>(0, maxLength)(random)), ' ');
    for (char& c : bytes)
        c = kAlphabet[std::uniform_int_distribution<std::size_t>(0, sizeof kAlphabet - 1)(random)];
    return bytes;
}

// Random edits, undos, redos, new texts and counting in pieces: the counts always equal a full
// recount of the part of the text counted so far, and no word crosses where that part ends.
TEST(TextWordCounter, StaysEqualToAFullRecountUnderRandomEdits)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        CountedText t(std::uniform_int_distribution<int>(4, 40)(random));
        t.text.setText(randomBytes(random, 60));
        for (int step = 0; step < 60; ++step) {
            const auto length = t.text.length();
            std::uniform_int_distribution<std::int64_t> offset(0, length);
            switch (std::uniform_int_distribution<int>(0, 9)(random)) {
            case 0:
                t.text.undo();
                break;
            case 1:
                t.text.redo();
                break;
            case 2:
                t.counter.countMore(t.text, std::uniform_int_distribution<int>(0, 20)(random));
                break;
            case 3:
                if (step % 20 == 3)
                    t.text.setText(randomBytes(random, 60));
                break;
            default: {
                const std::int64_t a = offset(random);
                const std::int64_t b = offset(random);
                t.text.replace(std::min(a, b), std::max(a, b), randomBytes(random, 12),
                               EditKind::Other, {});
            }
            }
            const std::string text = t.text.text();
            const auto pending = t.counter.pendingFrom();
            const std::size_t counted = pending ? static_cast<std::size_t>(*pending) : text.size();
            ASSERT_LE(counted, text.size());
            WordCounts expected;
            expected.addWords(std::string_view(text).substr(0, counted));
            ASSERT_TRUE(t.counter.counts() == expected) << "round " << round << " step " << step;
            if (counted > 0 && counted < text.size()) {
                ASSERT_TRUE(isCountedWordSeparator(text[counted - 1]) ||
                            isCountedWordSeparator(text[counted]));
            }
        }
        while (t.counter.pendingFrom())
            t.counter.countMore(t.text, 7);
        WordCounts all;
        all.addWords(t.text.text());
        ASSERT_TRUE(t.counter.counts() == all);
    }
}

} // namespace
