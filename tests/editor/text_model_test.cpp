#include "editor/caret_moves.h"
#include "editor/line_state_cache.h"
#include "editor/text_model.h"

#include <array>
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
        for (const char c : line)
            in = c == '(' ? 1 : c == ')' ? 0 : in;
        return in;
    }
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
        const auto size = std::ssize(model);
        const std::int64_t from = std::uniform_int_distribution<std::int64_t>(0, size)(random);
        // Long runs now and then, and the text kept within a few hundred bytes.
        const std::int64_t reach = size > 600 ? 300 : 4;
        const std::int64_t to =
            std::min(size, from + std::uniform_int_distribution<std::int64_t>(0, reach)(random));
        const std::string inserted = randomBytes(random, round % 50 == 0 ? 300 : 4);
        const std::string before = model;
        text.replace(from, to, inserted, EditKind::Other, {});
        model.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from),
                      inserted);
        if (round % 7 == 0 && (to > from || !inserted.empty())) {
            // Each edit is its own step (an empty one none): undo gives the text before it
            // back, redo this one.
            ASSERT_TRUE(text.undo());
            ASSERT_EQ(text.text(), before);
            ASSERT_EQ(text.lineCount(), std::ssize(lineStarts(before)));
            ASSERT_TRUE(text.redo());
        }
        ASSERT_EQ(text.text(), model);
        const std::vector<std::int64_t> starts = lineStarts(model);
        const auto lines = std::ssize(starts);
        ASSERT_EQ(text.lineCount(), lines);
        for (std::int64_t line = 0; line < lines; ++line) {
            ASSERT_EQ(text.lineStart(line), starts[line]);
            ASSERT_EQ(text.lineEnd(line),
                      line + 1 < lines ? starts[line + 1] - 2 : std::ssize(model));
        }
        for (std::int64_t offset = 0; offset <= std::ssize(model); offset += 3)
            ASSERT_EQ(text.lineOf(offset),
                      std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1);
    }
}

TEST(TextModel, UndoStepsMergeAsTypingDoes)
{
    // Two edits, each of a kind replacing bytes [from, to) by one 'a' (by nothing for a Delete),
    // whether the caret moved between them, and the undo steps they make. Typing and Backspaces
    // with caret moves between them are driven by real keys in the editor's own test.
    using enum EditKind;
    using Edit = std::tuple<EditKind, std::int64_t, std::int64_t>;
    const std::tuple<Edit, Edit, bool, int> cases[] = {
        {{Typing, 0, 0}, {Typing, 0, 0}, false, 2}, // typing elsewhere
        {{Typing, 0, 2}, {Typing, 1, 1}, false, 1}, // typing over a selection, then on
        {{DeleteForward, 1, 2}, {DeleteForward, 1, 2}, false, 1},
        {{Other, 0, 0}, {Other, 1, 1}, false, 2},
        {{Other, 0, 0}, {JoinPrevious, 4, 4}, true, 1},
    };
    for (const auto& [first, second, caretMoved, steps] : cases) {
        TextModel text;
        text.setText("wxyz");
        for (const auto& [kind, from, to] : {first, second}) {
            text.replace(from, to, kind == DeleteForward ? "" : "a", kind, {});
            if (caretMoved)
                text.history().closeStep();
        }
        int undone = 0;
        while (text.undo())
            ++undone;
        EXPECT_EQ(undone, steps) << int(std::get<0>(first)) << " " << int(std::get<0>(second));
        EXPECT_EQ(text.text(), "wxyz");
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

TEST(LineStateCache, AgreesWithColouringFromTheStart)
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
    // from, next word, previous word, the word at it
    const std::array<std::int64_t, 5> words[] = {
        {0, 5, 0, 0, 3}, {1, 5, 0, 0, 3},  {3, 5, 0, 3, 5},
        {5, 8, 0, 5, 8}, {8, 10, 5, 5, 8}, {10, 11, 8, 10, 11},
    };
    for (const auto& [from, next, previous, wordFrom, wordTo] : words) {
        EXPECT_EQ(nextWordOffset(text, from), next) << from;
        EXPECT_EQ(previousWordOffset(text, from), previous) << from;
        EXPECT_EQ(wordAt(text, from), (ByteRange{wordFrom, wordTo - wordFrom})) << from;
    }
    EXPECT_EQ(nextCharOffset(text, 8), 10); // over the line break as one
    EXPECT_EQ(previousCharOffset(text, 10), 8);
}

TEST(CaretMoves, Utf8CharactersAreOneCellAndOneStepAgainstAModel)
{
    // Pieces of text: a character (one cell, one caret step) or bytes that make no valid
    // sequence (a cell and a step each). No piece starts with a continuation byte, so pieces
    // never join.
    struct Piece {
        std::string bytes;
        bool character;
    };
    const Piece pieces[] = {{"a", true},
                            {"\t", true},
                            {"\xC3\xA7", true},
                            {"\xE2\x86\x92", true},
                            {"\xF0\x9F\x98\x80", true},
                            {"\xFF", false},
                            {"\xC3", false},
                            {"\xE2\x86", false},
                            {"\xE0\x80\xAF", false},
                            {"\xED\xA0\x80", false},
                            {"\xF4\x90\x80\x80", false}};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        std::vector<std::int64_t> stops{0};   // caret positions, in order
        std::vector<std::int64_t> columns{0}; // the cell each stop starts at
        bool valid = true;
        bool high = false;
        for (int n = static_cast<int>(random() % 10); n > 0; --n) {
            const Piece& piece = pieces[random() % std::size(pieces)];
            const std::size_t parts = piece.character ? 1 : piece.bytes.size();
            for (std::size_t k = 0; k < parts; ++k) {
                const std::int64_t width = piece.bytes == "\t" ? 8 - columns.back() % 8 : 1;
                columns.push_back(columns.back() + width);
                stops.push_back(stops.back() +
                                static_cast<std::int64_t>(piece.bytes.size() / parts));
            }
            text += piece.bytes;
            valid = valid && piece.character;
            high = high || static_cast<unsigned char>(piece.bytes[0]) >= 0x80;
        }
        ASSERT_EQ(isUtf8WithHighBytes(text), valid && high) << round;
        ASSERT_EQ(columnsOf(text, TextEncoding::Utf8), columns.back()) << round;
        TextModel model;
        model.setText(text);
        for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
            ASSERT_EQ(nextCharOffset(model, stops[i], TextEncoding::Utf8), stops[i + 1]) << round;
            ASSERT_EQ(previousCharOffset(model, stops[i + 1], TextEncoding::Utf8), stops[i]);
            ASSERT_EQ(byteAtColumn(text, columns[i], TextEncoding::Utf8).index, stops[i]);
            ASSERT_EQ(
                caretIndexAt(text, static_cast<double>(columns[i + 1]) - 0.1, TextEncoding::Utf8),
                stops[i + 1]);
        }
    }

    // Which encoding an opened file is shown in.
    const std::pair<std::string, TextEncoding> files[] = {
        {"plain", TextEncoding::Calculator},   {"\xE7", TextEncoding::Calculator},
        {"x \xC3\xA7", TextEncoding::Utf8},    {"%%HP: T(3);\r\n\xAB", TextEncoding::Calculator},
        {"%%HP:\xC3\xA7", TextEncoding::Utf8}, {"%%HP: T(3);", TextEncoding::Calculator}};
    for (const auto& [bytes, encoding] : files)
        EXPECT_EQ(encodingForFile(bytes, TextEncoding::Calculator), encoding) << bytes;
}
