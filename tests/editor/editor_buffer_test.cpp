// The editor buffer against plain strings and the rules it reads by: random texts and random
// edits, with their undo and redo, agree byte for byte, offset for offset, line for line.
#include "editor/editor_buffer.h"
#include "editor/editor_rules.h"
#include "editor/source_editor.h"

#include <QtTest>
#include <optional>
#include <random>
#include <string>

using namespace scrivlet;
using namespace std::string_literals;

namespace {

// The line that ends with the last CR LF before the caret, without it; none on the first line.
std::optional<std::string_view> previousLineOf(std::string_view textBeforeCaret)
{
    const std::size_t lastBreak = textBeforeCaret.rfind("\r\n");
    if (lastBreak == std::string_view::npos)
        return std::nullopt;
    const std::string_view before = textBeforeCaret.substr(0, lastBreak);
    const std::size_t breakBefore = before.rfind("\r\n");
    return breakBefore == std::string_view::npos ? before : before.substr(breakBefore + 2);
}

QByteArray shown(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toHex(' ');
}

// Texts of the letters a, b, space, CR and LF, which make every kind of line break and stand-in.
std::string randomText(std::mt19937& random, int maxLength)
{
    static constexpr char kAlphabet[] = {'a', 'b', ' ', '\r', '\n', '\r', '\n'};
    std::uniform_int_distribution<int> size(0, maxLength);
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 1);
    std::string text(static_cast<std::size_t>(size(random)), ' ');
    for (char& c : text)
        c = kAlphabet[pick(random)];
    return text;
}

// The byte offsets the buffer can hold the caret at: every offset but one between CR and LF.
bool insideLineBreak(const std::string& text, std::int64_t offset)
{
    return offset > 0 && offset < static_cast<std::int64_t>(text.size()) &&
           text[offset - 1] == '\r' && text[offset] == '\n';
}

} // namespace

class EditorBufferTest : public QObject {
    Q_OBJECT

    SourceEditor edit;
    EditorBuffer buffer{edit};

  private slots:
    void everyByteValueRoundTrips()
    {
        std::string bytes;
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
        buffer.setText(bytes + bytes);
        QCOMPARE(shown(buffer.text()), shown(bytes + bytes));
        QCOMPARE(buffer.length(), 512);
        // Each byte typed on its own into the middle of a text.
        buffer.setText("[]");
        buffer.setSelStart(1);
        for (const char byte : bytes)
            buffer.setSelText(std::string(1, byte));
        QCOMPARE(shown(buffer.text()), shown("[" + bytes + "]"));
        QCOMPARE(buffer.selStart(), 257);
        QCOMPARE(shown(buffer.slice(1, 257)), shown(bytes));
    }

    void randomTextsAgreeWithTheReferenceRules()
    {
        // Short lines full of line breaks, and now and then a run without separators longer
        // than the word scans' reach.
        std::mt19937 random(20240601);
        for (int round = 0; round < 300; ++round) {
            std::string text = randomText(random, 40);
            if (round % 3 == 0)
                text.insert(text.size() / 2, std::string(random() % 130, 'x'));
            buffer.setText(text);
            QCOMPARE(shown(buffer.text()), shown(text));
            const auto size = static_cast<std::int64_t>(text.size());
            QCOMPARE(buffer.length(), size);
            for (std::int64_t from = 0; from <= size; ++from) {
                const std::string_view before = std::string_view(text).substr(0, from);
                QCOMPARE(buffer.lineColumn(from), lineColumnOf(before));
                QCOMPARE(buffer.previousLine(from), previousLineOf(before));
                buffer.setSelStart(from);
                const std::int64_t caret = buffer.selStart();
                QCOMPARE(caret, insideLineBreak(text, from) ? from - 1 : from);
                for (std::int64_t to = from; to <= size && to < from + 50; ++to)
                    QCOMPARE(shown(buffer.slice(from, to)), shown(text.substr(from, to - from)));
                // A selection ending inside a line break ends before it.
                const std::int64_t end = std::min(size, caret + 2);
                buffer.setSelLength(end - caret);
                QCOMPARE(buffer.selText(),
                         text.substr(caret, (insideLineBreak(text, end) ? end - 1 : end) - caret));
                // What a key release reads of the caret, with a single look-up of its line.
                const EditorBuffer::CaretView view = buffer.caretView();
                QCOMPARE(view.selStart, caret);
                QCOMPARE(view.length, size);
                QCOMPARE(view.position, lineColumnOf(std::string_view(text).substr(0, caret)));
                QCOMPARE(view.slice, text.substr(view.sliceStart, view.slice.size()));
                const WordSpan span = findWordSpan(view.slice, view.sliceStart, caret, size);
                QCOMPARE(span, findWordSpan(text, 0, caret, size));
                QCOMPARE(lookupWord(view.slice, view.sliceStart, span), lookupWord(text, 0, span));
            }
            // Offsets and lengths beyond either end are clamped to the text.
            buffer.setSelStart(-7);
            buffer.setSelLength(size + 100);
            QCOMPARE(shown(buffer.selText()), shown(text));
            buffer.setSelLength(-3);
            QCOMPARE(buffer.selLength(), 0);
            buffer.setSelStart(size + 99);
            QCOMPARE(buffer.selStart(), size);
        }
    }

    void randomEditsUndoAndRedoAgreeWithAString()
    {
        // Random replacements, some of them grouped into one undo step, random undos and redos,
        // now and then a new text: after each, the bytes, the caret and the lines agree with a
        // plain string and its history.
        std::mt19937 random(7);
        std::vector<std::string> states{randomText(random, 30)};
        std::size_t applied = 0;
        buffer.setText(states[0]);
        for (int round = 0; round < 3000; ++round) {
            const std::string& model = states[applied];
            const int action = std::uniform_int_distribution<int>(0, 40)(random);
            if (action == 0) {
                states = {randomText(random, 30)}; // a new text cannot be undone
                applied = 0;
                buffer.setText(states[0]);
                QCOMPARE(buffer.selStart(), 0);
            } else if (action <= 4) {
                edit.undo();
                applied -= applied > 0 ? 1 : 0;
            } else if (action <= 8) {
                edit.redo();
                applied += applied + 1 < states.size() ? 1 : 0;
            } else {
                std::string next = model;
                bool edited = false;
                std::optional<EditorBuffer::UndoGroup> group;
                if (action <= 12)
                    group.emplace(buffer);
                for (int piece = 0; piece < (group ? 3 : 1); ++piece) {
                    const auto size = static_cast<std::int64_t>(next.size());
                    std::int64_t start =
                        std::uniform_int_distribution<std::int64_t>(0, size)(random);
                    std::int64_t end = std::min<std::int64_t>(
                        size, start + std::uniform_int_distribution<int>(0, 3)(random));
                    start -= insideLineBreak(next, start) ? 1 : 0;
                    end -= insideLineBreak(next, end) ? 1 : 0;
                    buffer.setSelStart(start);
                    buffer.setSelLength(end - start);
                    QCOMPARE(buffer.selStart(), start);
                    QCOMPARE(shown(buffer.selText()), shown(next.substr(start, end - start)));
                    const std::string inserted = randomText(random, 3);
                    buffer.setSelText(inserted);
                    next.replace(start, end - start, inserted);
                    edited = edited || end > start || !inserted.empty();
                    const std::int64_t caret = start + static_cast<std::int64_t>(inserted.size());
                    QCOMPARE(buffer.selStart(), insideLineBreak(next, caret) ? caret - 1 : caret);
                    QCOMPARE(buffer.selLength(), 0);
                }
                group.reset();
                if (edited) {
                    states.resize(++applied);
                    states.push_back(next);
                }
            }
            const std::string& now = states[applied];
            QCOMPARE(shown(buffer.text()), shown(now));
            QCOMPARE(edit.isUndoAvailable(), applied > 0);
            QCOMPARE(edit.isRedoAvailable(), applied + 1 < states.size());
            int breaks = 0;
            for (std::size_t i = 0; i + 1 < now.size(); ++i)
                breaks += now[i] == '\r' && now[i + 1] == '\n';
            QCOMPARE(edit.model().lineCount(), breaks + 1);
        }
    }

    void readsFarFromTheCaretAndInsideALongLine()
    {
        // Many short lines, then one line longer than any scan's reach; the caret at either end.
        std::mt19937 random(3);
        std::string text;
        while (text.size() < 20000)
            text += randomText(random, 12) + "\r\n";
        for (int i = 0; i < 20000; ++i)
            text += "ab \r\xA0\n"[i % 6];
        text += "\r\nlast";
        const auto size = static_cast<std::int64_t>(text.size());
        buffer.setText(text);
        for (const std::int64_t caret : {std::int64_t{0}, size / 2 + 5000, size}) {
            buffer.setSelStart(caret);
            const EditorBuffer::CaretView view = buffer.caretView();
            QCOMPARE(findWordSpan(view.slice, view.sliceStart, view.selStart, size),
                     findWordSpan(text, 0, view.selStart, size));
            for (std::int64_t offset = 0; offset <= size; offset += 7) {
                QCOMPARE(buffer.lineColumn(offset),
                         lineColumnOf(std::string_view(text).substr(0, offset)));
                const std::int64_t to = std::min(size, offset + 30);
                QCOMPARE(shown(buffer.slice(offset, to)), shown(text.substr(offset, to - offset)));
            }
        }
        buffer.setSelStart(3);
        buffer.setSelLength(size - 10);
        QCOMPARE(shown(buffer.selText()), shown(text.substr(3, size - 10)));
    }
};

QTEST_MAIN(EditorBufferTest)
#include "editor_buffer_test.moc"
