#include "common/code_page_table.h"
#include "editor/caret_moves.h"
#include "editor/code_page.h"
#include "editor/line_state_cache.h"
#include "editor/text_model.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace scrivlet;

namespace {

std::string randomBytes(std::mt19937& random, int maxLength)
{
    static constexpr char kAlphabet[] = {'a', '(', ')', ' ', '\r', '\n', '\r', '\n'};
    std::string text(
        static_cast<std::size_t>(std::uniform_int_distribution<int>(0, maxLength)(random)), ' ');
    for (char& c : text)
        c = kAlphabet[std::uniform_int_distribution<std::size_t>(0, sizeof kAlphabet - 1)(random)];
    return text;
}

// The line starts of a text by a plain scan: after every CR LF.
std::vector<std::int64_t> lineStarts(const std::string& text)
{
    std::vector<std::int64_t> starts{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n')
            starts.push_back(static_cast<std::int64_t>(i) + 2);
    }
    return starts;
}

// Colours nothing; the state says whether a "( ... )" comment is open at the end of the line.
class CommentStates final : public LineHighlighter {
  public:
    State highlight(std::string_view line, State in, std::vector<StyleSpan>&) const override
    {
        ++calls;
        for (const char c : line)
            in = c == '(' ? 1 : c == ')' ? 0 : in;
        return in;
    }
    mutable int calls = 0;
};

// Keeps a state cache in step with a text, as the editor view does.
struct ColouredText final : TextModel::Observer {
    TextModel text;
    LineStateCache states;
    ColouredText() { text.setObserver(this); }
    void textAboutToChange(std::int64_t, std::int64_t) override {}
    void textChanged(const TextModel::Change& change) override
    {
        states.linesChanged(change.lines.line, change.lines.removedBreaks,
                            change.lines.insertedBreaks);
    }
};

} // namespace

TEST(TextModel, RandomEditsKeepBytesAndLinesInStepWithAString)
{
    std::mt19937 random(11);
    TextModel text;
    std::string model = randomBytes(random, 60);
    text.setText(model);
    for (int round = 0; round < 4000; ++round) {
        const auto size = static_cast<std::int64_t>(model.size());
        const std::int64_t from = std::uniform_int_distribution<std::int64_t>(0, size)(random);
        // Long runs now and then, and the text kept within a few hundred bytes.
        const std::int64_t reach = size > 600 ? 300 : 4;
        const std::int64_t to =
            std::min(size, from + std::uniform_int_distribution<std::int64_t>(0, reach)(random));
        const std::string inserted = randomBytes(random, round % 50 == 0 ? 300 : 4);
        text.replace(from, to, inserted, EditKind::Other, {});
        model.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from),
                      inserted);
        if (round % 7 == 0 && text.undo()) {
            ASSERT_TRUE(text.redo());
        }

        ASSERT_EQ(text.text(), model);
        const std::vector<std::int64_t> starts = lineStarts(model);
        ASSERT_EQ(text.lineCount(), static_cast<std::int64_t>(starts.size()));
        for (std::size_t line = 0; line < starts.size(); ++line) {
            ASSERT_EQ(text.lineStart(static_cast<std::int64_t>(line)), starts[line]);
            const std::int64_t end = line + 1 < starts.size()
                                         ? starts[line + 1] - 2
                                         : static_cast<std::int64_t>(model.size());
            ASSERT_EQ(text.lineEnd(static_cast<std::int64_t>(line)), end);
        }
        for (std::int64_t offset = 0; offset <= static_cast<std::int64_t>(model.size());
             offset += 3) {
            const auto line =
                std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1;
            ASSERT_EQ(text.lineOf(offset), line) << offset;
        }
    }
}

TEST(TextModel, UndoStepsMergeAsTypingDoes)
{
    struct Edit {
        EditKind kind;
        std::int64_t from;
        std::int64_t to;
        const char* bytes;
        bool caretMovedBefore = false;
    };
    const struct {
        const char* name;
        std::vector<Edit> edits;
        int steps;
    } cases[] = {
        {"typing",
         {{EditKind::Typing, 0, 0, "a"},
          {EditKind::Typing, 1, 1, "b"},
          {EditKind::Typing, 2, 2, "c"}},
         1},
        {"typing after a caret move",
         {{EditKind::Typing, 0, 0, "a"}, {EditKind::Typing, 1, 1, "b", true}},
         2},
        {"typing elsewhere", {{EditKind::Typing, 0, 0, "a"}, {EditKind::Typing, 0, 0, "b"}}, 2},
        {"typing over a selection",
         {{EditKind::Typing, 0, 2, "a"}, {EditKind::Typing, 1, 1, "b"}},
         1},
        {"backspaces", {{EditKind::Backspace, 3, 4, ""}, {EditKind::Backspace, 2, 3, ""}}, 1},
        {"deletes", {{EditKind::DeleteForward, 1, 2, ""}, {EditKind::DeleteForward, 1, 2, ""}}, 1},
        {"typing then backspace",
         {{EditKind::Typing, 4, 4, "a"}, {EditKind::Backspace, 4, 5, ""}},
         2},
        {"other edits", {{EditKind::Other, 0, 0, "a"}, {EditKind::Other, 1, 1, "b"}}, 2},
        {"joining the step before",
         {{EditKind::Other, 0, 0, "a"}, {EditKind::JoinPrevious, 4, 4, "b", true}},
         1},
    };
    for (const auto& c : cases) {
        TextModel text;
        text.setText("wxyz");
        for (const Edit& edit : c.edits) {
            if (edit.caretMovedBefore)
                text.history().closeStep();
            text.replace(edit.from, edit.to, edit.bytes, edit.kind, {});
        }
        int steps = 0;
        while (text.undo())
            ++steps;
        EXPECT_EQ(steps, c.steps) << c.name;
        EXPECT_EQ(text.text(), "wxyz") << c.name;
    }
}

TEST(TextModel, ModifiedFollowsTheSavedState)
{
    TextModel text;
    EXPECT_FALSE(text.history().isModified());
    text.setText("abc");
    EXPECT_TRUE(text.history().isModified());
    text.history().setModified(false);
    text.replace(3, 3, "d", EditKind::Typing, {});
    EXPECT_TRUE(text.history().isModified());
    text.undo();
    EXPECT_FALSE(text.history().isModified());
    text.redo();
    text.history().setModified(false);
    // Typing on after saving is a new step: undoing it returns to the saved text.
    text.replace(4, 4, "e", EditKind::Typing, {});
    text.undo();
    EXPECT_EQ(text.text(), "abcd");
    EXPECT_FALSE(text.history().isModified());
    // Nor does an edit join the step that led to the saved text.
    text.replace(4, 4, "f", EditKind::JoinPrevious, {});
    text.undo();
    EXPECT_EQ(text.text(), "abcd");
    EXPECT_FALSE(text.history().isModified());
    // A saved state that an edit after an undo replaced can never come back.
    text.undo();
    text.replace(3, 3, "x", EditKind::Other, {});
    text.undo();
    EXPECT_EQ(text.text(), "abc");
    EXPECT_TRUE(text.history().isModified());
}

TEST(LineStateCache, AgreesWithColouringFromTheStartAndStopsEarly)
{
    std::mt19937 random(5);
    ColouredText coloured;
    const CommentStates highlighter;
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += randomBytes(random, 12) + "\r\n";
    coloured.text.setText(text);
    coloured.states.reset(coloured.text.lineCount(), 0);
    for (int round = 0; round < 600; ++round) {
        const std::int64_t length = coloured.text.length();
        const std::int64_t from = std::uniform_int_distribution<std::int64_t>(0, length)(random);
        const std::int64_t to =
            std::min(length, from + std::uniform_int_distribution<std::int64_t>(0, 6)(random));
        coloured.text.replace(from, to, randomBytes(random, 4), EditKind::Other, {});
        const std::int64_t lines = coloured.text.lineCount();
        const std::int64_t target =
            std::uniform_int_distribution<std::int64_t>(0, lines - 1)(random);
        ASSERT_TRUE(coloured.states.advance(target, lines, coloured.text, highlighter));
        std::vector<StyleSpan> spans;
        std::string scratch;
        LineHighlighter::State state = 0;
        for (std::int64_t line = 0; line < target; ++line)
            state = highlighter.highlight(coloured.text.view(coloured.text.lineStart(line),
                                                             coloured.text.lineEnd(line), scratch),
                                          state, spans);
        ASSERT_EQ(coloured.states.state(target), state) << round;
    }

    // With every state known, typing on one line colours a line or two, not the rest.
    ASSERT_TRUE(coloured.states.advance(coloured.text.lineCount() - 1, INT64_MAX, coloured.text,
                                        highlighter));
    const std::int64_t at = coloured.text.lineStart(3);
    coloured.text.replace(at, at, "a", EditKind::Typing, {});
    highlighter.calls = 0;
    ASSERT_TRUE(coloured.states.advance(coloured.text.lineCount() - 1, INT64_MAX, coloured.text,
                                        highlighter));
    EXPECT_LE(highlighter.calls, 2);
}

TEST(CaretMoves, CellsAndWords)
{
    // "ab\tc": a b at cells 0 1, the tab covers 2..7, c at 8.
    const std::string_view line = "ab\tc";
    EXPECT_EQ(columnsOf(line), 9);
    const std::pair<std::int64_t, ColumnPlace> places[] = {
        {0, {0, 0}}, {1, {1, 1}}, {2, {2, 2}}, {7, {2, 2}}, {8, {3, 8}}, {9, {4, 9}}, {40, {4, 9}}};
    for (const auto& [column, place] : places) {
        EXPECT_EQ(byteAtColumn(line, column).index, place.index) << column;
        EXPECT_EQ(byteAtColumn(line, column).column, place.column) << column;
    }
    const std::pair<double, std::int64_t> clicks[] = {{-1, 0},  {0.4, 0}, {0.6, 1}, {4.9, 2},
                                                      {5.1, 3}, {8.7, 4}, {99, 4}};
    for (const auto& [cells, index] : clicks)
        EXPECT_EQ(caretIndexAt(line, cells), index) << cells;

    TextModel text;
    text.setText("one  two\r\n\tx");
    const struct {
        std::int64_t from, next, previous, wordFrom, wordTo;
    } words[] = {
        {0, 5, 0, 0, 3}, {1, 5, 0, 0, 3},  {3, 5, 0, 3, 5},
        {5, 8, 0, 5, 8}, {8, 10, 5, 5, 8}, {10, 11, 8, 10, 11},
    };
    for (const auto& w : words) {
        EXPECT_EQ(nextWordOffset(text, w.from), w.next) << w.from;
        EXPECT_EQ(previousWordOffset(text, w.from), w.previous) << w.from;
        EXPECT_EQ(wordAt(text, w.from).from, w.wordFrom) << w.from;
        EXPECT_EQ(wordAt(text, w.from).to, w.wordTo) << w.from;
    }
    EXPECT_EQ(nextCharOffset(text, 8), 10); // over the line break as one
    EXPECT_EQ(previousCharOffset(text, 10), 8);
}

TEST(CodePage, ShownCharactersAndTheirBytes)
{
    std::array<char16_t, 256> chars{};
    for (int b = 0; b < 256; ++b)
        chars[static_cast<std::size_t>(b)] = static_cast<char16_t>(b);
    chars[0xA4] = u'\u20AC'; // as ISO 8859-15 has it
    const CodePageTable page(chars, {});
    EXPECT_EQ(byteOfShown(page, u'\u20AC'), 0xA4);
    EXPECT_EQ(byteOfShown(page, u'\u0100'), -1);
    EXPECT_EQ(byteOfShown(page, kCrStandIn), '\r');
    EXPECT_EQ(shownChar(page, '\n'), kLfStandIn);
    EXPECT_EQ(shownChar(page, '\0'), u'\u2400');
    EXPECT_EQ(shownChar(page, '\x7F'), u'\u2421');
    EXPECT_EQ(shownChar(page, '\x85'), 0); // a C1 control: drawn as a box
    EXPECT_EQ(shownChar(page, '\t'), u'\t');
    EXPECT_EQ(shownChar(page, '\xA4'), u'\u20AC');
}
