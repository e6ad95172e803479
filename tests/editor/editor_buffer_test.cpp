#include "editor/editor_buffer.h"
#include "editor/editor_rules.h"
#include "editor/source_editor.h"

#include <QSignalSpy>
#include <QtTest>
#include <random>
#include <string>

using namespace scrivlet;
using namespace std::string_literals;

namespace {

std::string allBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

QByteArray shown(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toHex(' ');
}

// Texts of the letters a, space, CR and LF, which make every kind of line break and stand-in.
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

  private slots:
    void everyByteValueRoundTrips();
    void everyByteValueTypedThroughSelText();
    void lineBreaksAndLoneCrLf_data();
    void lineBreaksAndLoneCrLf();
    void offsetsCountBothCharactersOfCrLf();
    void offsetInsideCrLfGoesToTheEndOfTheLine();
    void setSelLengthClamps();
    void randomTextsAgreeWithTheReferenceRules();
    void caretViewAgreesWithTheWholeText();
    void randomEditsUndoAndRedoAgreeWithAString();
    void readsFarFromTheCaret();
    void readsInsideALongLine();
    void previousLineOfTheCaret();
    void setSelTextIsOneUndoStep();
    void setTextCannotBeUndone();
};

void EditorBufferTest::everyByteValueRoundTrips()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    const std::string bytes = allBytes() + allBytes();
    buffer.setText(bytes);
    QCOMPARE(shown(buffer.text()), shown(bytes));
    QCOMPARE(buffer.length(), static_cast<std::int64_t>(bytes.size()));
}

void EditorBufferTest::everyByteValueTypedThroughSelText()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText("[]");
    buffer.setSelStart(1);
    for (int b = 0; b < 256; ++b)
        buffer.setSelText(std::string(1, static_cast<char>(b)));
    QCOMPARE(shown(buffer.text()), shown("[" + allBytes() + "]"));
    QCOMPARE(buffer.selStart(), 257);
    QCOMPARE(shown(buffer.slice(1, 257)), shown(allBytes()));
}

void EditorBufferTest::lineBreaksAndLoneCrLf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lines");
    QTest::newRow("crlf") << QByteArray("a\r\nb") << 2;
    QTest::newRow("lone cr") << QByteArray("a\rb") << 1;
    QTest::newRow("lone lf") << QByteArray("a\nb") << 1;
    QTest::newRow("lf cr") << QByteArray("a\n\rb") << 1;
    QTest::newRow("cr crlf") << QByteArray("a\r\r\nb") << 2;
    QTest::newRow("crlf lf") << QByteArray("a\r\n\nb") << 2;
    QTest::newRow("two crlf") << QByteArray("\r\n\r\n") << 3;
    QTest::newRow("only cr") << QByteArray("\r") << 1;
    QTest::newRow("only lf") << QByteArray("\n") << 1;
    QTest::newRow("empty") << QByteArray() << 1;
}

void EditorBufferTest::lineBreaksAndLoneCrLf()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lines);
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText(bytes.toStdString());
    QCOMPARE(edit.model().lineCount(), lines);
    QCOMPARE(QByteArray::fromStdString(buffer.text()), bytes);
    QCOMPARE(buffer.length(), bytes.size());
}

void EditorBufferTest::offsetsCountBothCharactersOfCrLf()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText("::\r\nab\r\nabc");
    buffer.setSelStart(5);
    QCOMPARE(buffer.selStart(), 5);
    QCOMPARE(buffer.lineColumn(buffer.selStart()), (LineColumn{2, 2}));
    buffer.setSelStart(4);
    QCOMPARE(buffer.lineColumn(buffer.selStart()), (LineColumn{2, 1}));
    buffer.setSelStart(buffer.length());
    QCOMPARE(buffer.selStart(), 11);
    QCOMPARE(buffer.lineColumn(buffer.selStart()), (LineColumn{3, 4}));
}

void EditorBufferTest::offsetInsideCrLfGoesToTheEndOfTheLine()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText("::\r\n\r\n;\r\n@\r\n");
    buffer.setSelStart(5);
    QCOMPARE(buffer.selStart(), 4);
    QCOMPARE(positionCaption(buffer.lineColumn(buffer.selStart())), "POS: 2,1"s);
    // Read at the offset itself, the CR counts as a column of its line.
    QCOMPARE(buffer.lineColumn(5), (LineColumn{2, 2}));
    QCOMPARE(buffer.slice(3, 6), "\n\r\n"s);
    QCOMPARE(buffer.slice(5, 6), "\n"s);
    QCOMPARE(buffer.slice(4, 5), "\r"s);
}

void EditorBufferTest::setSelLengthClamps()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText("ab\r\ncd");
    buffer.setSelStart(1);
    buffer.setSelLength(4);
    QCOMPARE(buffer.selText(), "b\r\nc"s);
    QCOMPARE(buffer.selLength(), 4);
    buffer.setSelLength(100);
    QCOMPARE(buffer.selText(), "b\r\ncd"s);
    buffer.setSelLength(-3);
    QCOMPARE(buffer.selLength(), 0);
    buffer.setSelLength(2); // ends inside the line break: the CR is left out
    QCOMPARE(buffer.selText(), "b"s);
    buffer.setSelStart(-7);
    QCOMPARE(buffer.selStart(), 0);
    buffer.setSelStart(99);
    QCOMPARE(buffer.selStart(), 6);
}

void EditorBufferTest::randomTextsAgreeWithTheReferenceRules()
{
    std::mt19937 random(20240601);
    SourceEditor edit;
    EditorBuffer buffer(edit);
    for (int round = 0; round < 300; ++round) {
        const std::string text = randomText(random, 40);
        buffer.setText(text);
        QCOMPARE(shown(buffer.text()), shown(text));
        const auto size = static_cast<std::int64_t>(text.size());
        QCOMPARE(buffer.length(), size);
        for (std::int64_t from = 0; from <= size; ++from) {
            QCOMPARE(buffer.lineColumn(from), lineColumnOf(std::string_view(text).substr(0, from)));
            buffer.setSelStart(from);
            QCOMPARE(buffer.selStart(), insideLineBreak(text, from) ? from - 1 : from);
            for (std::int64_t to = from; to <= size; ++to)
                QCOMPARE(shown(buffer.slice(from, to)), shown(text.substr(from, to - from)));
        }
    }
}

void EditorBufferTest::caretViewAgreesWithTheWholeText()
{
    // Long runs without separators and lines longer than the scans' reach, as well as short
    // lines full of line breaks.
    std::mt19937 random(7);
    SourceEditor edit;
    EditorBuffer buffer(edit);
    for (int round = 0; round < 60; ++round) {
        std::string text = randomText(random, 40);
        std::uniform_int_distribution<int> runLength(0, 130);
        text.insert(text.size() / 2, std::string(static_cast<std::size_t>(runLength(random)), 'x'));
        buffer.setText(text);
        const auto size = static_cast<std::int64_t>(text.size());
        for (std::int64_t at = 0; at <= size; ++at) {
            buffer.setSelStart(at);
            const std::int64_t caret = buffer.selStart();
            const EditorBuffer::CaretView view = buffer.caretView();
            QCOMPARE(view.selStart, caret);
            QCOMPARE(view.length, size);
            QCOMPARE(view.position, lineColumnOf(std::string_view(text).substr(0, caret)));
            QCOMPARE(view.slice, text.substr(view.sliceStart, view.slice.size()));
            const WordSpan span = findWordSpan(view.slice, view.sliceStart, caret, size);
            QCOMPARE(span, findWordSpan(text, 0, caret, size));
            QCOMPARE(lookupWord(view.slice, view.sliceStart, span), lookupWord(text, 0, span));
        }
    }
}

void EditorBufferTest::randomEditsUndoAndRedoAgreeWithAString()
{
    // Random replacements, some of them grouped into one undo step, random undos and redos:
    // after each, the bytes, the caret and the lines agree with a plain string and its history.
    std::mt19937 random(7);
    SourceEditor edit;
    EditorBuffer buffer(edit);
    std::vector<std::string> states{randomText(random, 30)};
    std::size_t applied = 0;
    buffer.setText(states[0]);
    for (int round = 0; round < 3000; ++round) {
        const std::string& model = states[applied];
        const int action = std::uniform_int_distribution<int>(0, 9)(random);
        if (action == 0) {
            edit.undo();
            applied -= applied > 0 ? 1 : 0;
        } else if (action == 1) {
            edit.redo();
            applied += applied + 1 < states.size() ? 1 : 0;
        } else {
            std::string next = model;
            bool edited = false;
            std::optional<EditorBuffer::UndoGroup> group;
            if (action == 2)
                group.emplace(buffer);
            for (int piece = 0; piece < (group ? 3 : 1); ++piece) {
                const auto size = static_cast<std::int64_t>(next.size());
                std::int64_t start = std::uniform_int_distribution<std::int64_t>(0, size)(random);
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

void EditorBufferTest::readsFarFromTheCaret()
{
    // Many lines, the caret at one end: offsets far from it are found by line number.
    std::mt19937 random(3);
    std::string text;
    while (text.size() < 20000)
        text += randomText(random, 12) + "\r\n";
    const auto size = static_cast<std::int64_t>(text.size());
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText(text);
    for (const std::int64_t caret : {std::int64_t{0}, size}) {
        buffer.setSelStart(caret);
        for (std::int64_t offset = 0; offset <= size; offset += 7) {
            QCOMPARE(buffer.lineColumn(offset),
                     lineColumnOf(std::string_view(text).substr(0, offset)));
            const std::int64_t to = std::min(size, offset + 30);
            QCOMPARE(shown(buffer.slice(offset, to)), shown(text.substr(offset, to - offset)));
        }
    }
}

void EditorBufferTest::readsInsideALongLine()
{
    std::string line;
    for (int i = 0; i < 20000; ++i)
        line += "ab \r\xA0\n"[i % 6];
    const std::string text = "first\r\n" + line + "\r\nlast";
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText(text);
    QCOMPARE(edit.model().lineCount(), 3);
    for (const auto& [from, to] : {std::pair<std::int64_t, std::int64_t>{3, 60},
                                   {7, 7 + 20000},
                                   {15000, 15102},
                                   {20000, 20015},
                                   {2, 20020}}) {
        QCOMPARE(shown(buffer.slice(from, to)), shown(text.substr(from, to - from)));
        buffer.setSelStart(from);
        buffer.setSelLength(to - from);
        QCOMPARE(shown(buffer.selText()), shown(text.substr(from, to - from)));
    }
    buffer.setSelStart(15000);
    const EditorBuffer::CaretView view = buffer.caretView();
    QCOMPARE(findWordSpan(view.slice, view.sliceStart, 15000, view.length),
             findWordSpan(text, 0, 15000, static_cast<std::int64_t>(text.size())));
    QCOMPARE(buffer.lineColumn(15000), (LineColumn{2, 15000 - 7 + 1}));
}

void EditorBufferTest::previousLineOfTheCaret()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    const std::string text = "  x\r\n    DUP \r\nSWAP\r\n\r\n";
    buffer.setText(text);
    for (std::int64_t offset = 0; offset <= buffer.length(); ++offset) {
        const auto expected = previousLineOf(std::string_view(text).substr(0, offset));
        const auto found = buffer.previousLine(offset);
        QCOMPARE(found.has_value(), expected.has_value());
        if (expected)
            QCOMPARE(*found, std::string(*expected));
    }
    QCOMPARE(indentWidth(*buffer.previousLine(13)), 2);
    QCOMPARE(indentWidth(*buffer.previousLine(15)), 4);
}

void EditorBufferTest::setSelTextIsOneUndoStep()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText("one DU two");
    buffer.setSelStart(4);
    buffer.setSelLength(2);
    buffer.setSelText("DUP\r\n    SWAP");
    QCOMPARE(buffer.text(), "one DUP\r\n    SWAP two"s);
    QCOMPARE(buffer.selStart(), 17);
    edit.undo();
    QCOMPARE(buffer.text(), "one DU two"s);
    edit.redo();
    QCOMPARE(buffer.text(), "one DUP\r\n    SWAP two"s);
}

void EditorBufferTest::setTextCannotBeUndone()
{
    SourceEditor edit;
    EditorBuffer buffer(edit);
    buffer.setText("old");
    buffer.setSelStart(3);
    buffer.setSelText("er");
    buffer.setText("new file");
    QVERIFY(!edit.isUndoAvailable());
    edit.undo();
    QCOMPARE(buffer.text(), "new file"s);
    QCOMPARE(buffer.selStart(), 0);
}

QTEST_MAIN(EditorBufferTest)
#include "editor_buffer_test.moc"
