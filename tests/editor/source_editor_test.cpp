#include "common/windows1252.h"
#include "editor/code_page.h"
#include "editor/editor_buffer.h"
#include "editor/glyph_cache.h"
#include "editor/key_codes.h"
#include "editor/source_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <string>

using namespace scrivlet;
using namespace std::string_literals;

namespace {

QByteArray shown(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toHex(' ');
}

// An editor with its buffer, shown and focused, as the window has it.
struct ShownEditor {
    SourceEditor edit;
    EditorBuffer buffer{edit};
    QSignalSpy keyUps{&edit, &SourceEditor::keyUp};
    QSignalSpy mouseUps{&edit, &SourceEditor::mouseUp};

    explicit ShownEditor(std::string_view text = {})
    {
        edit.resize(400, 200);
        edit.show();
        buffer.setText(text);
        edit.setFocus();
        edit.activateWindow();
    }

    int lastKeyUp() const { return keyUps.isEmpty() ? -1 : keyUps.last().at(0).toInt(); }

    // A point just inside the left edge of the byte's cell: a click there puts the caret before it.
    QPoint before(std::int64_t offset) const
    {
        const QRect cell = edit.rectForOffset(offset);
        return {cell.left() + 1, cell.center().y()};
    }
    void drag(std::int64_t from, std::int64_t to)
    {
        QTest::mousePress(edit.viewport(), Qt::LeftButton, {}, before(from));
        QMouseEvent move(QEvent::MouseMove, before(to), edit.viewport()->mapToGlobal(before(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit.viewport(), &move);
        QTest::mouseRelease(edit.viewport(), Qt::LeftButton, {}, before(to));
    }
    std::pair<std::int64_t, std::int64_t> selection() const
    {
        return {edit.anchor(), edit.caret()};
    }
};

// Colours the first three bytes of every line in style 0, and counts the lines it colours.
class FirstWord final : public LineHighlighter {
  public:
    State highlight(std::string_view line, State in, std::vector<StyleSpan>& out) const override
    {
        ++calls;
        out.push_back({0, std::min<std::int64_t>(3, static_cast<std::int64_t>(line.size())), 0});
        return in;
    }
    mutable int calls = 0;
};

// Whether a pixel of the area has about this colour (glyph edges are smoothed).
bool anyPixel(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor at = image.pixelColor(x, y);
            if (std::abs(at.red() - colour.red()) + std::abs(at.green() - colour.green()) +
                    std::abs(at.blue() - colour.blue()) <
                48)
                return true;
        }
    }
    return false;
}

} // namespace

class SourceEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void keyUpSpeaksVirtualKeyCodes_data();
    void keyUpSpeaksVirtualKeyCodes();
    void keysWithoutKeyboardClicks();
    void keypadKeysHaveTheirOwnCodes();
    void autoRepeatedReleasesAreNotReported();
    void shiftEnterBreaksTheLineLikeEnter();
    void shiftSpaceTypesASpace();
    void mouseUpIsReported();
    void typedCharactersWithoutAByteBecomeQuestionMarks();
    void typedWindows1252CharactersAreKept();
    void pastedLineEndsBecomeLineBreaks();
    void copyAndPasteInsideTheEditorChangeNothing();
    void backspaceBetweenLoneCrAndLfJoinsThemIntoALineBreak();
    void standInsAreDrawnWithARealGlyph();
    void setTextShowsTheStartOfTheNewText();
    void typingMergesIntoOneUndoStepUntilTheCaretMoves();
    void navigationKeys_data();
    void navigationKeys();
    void mouseClicksDragsAndDoubleClicksSelect();
    void offsetAtAndRectForOffsetAgree();
    void drawsSelectionCurrentLineStylesMarksAndGutter();
    void colouringRunsOverTheLinesShownOnly();
    void inputMethodTextGoesInAsTyped();
    void codePageDecidesCharactersNotBytes();
    void everyEditIsAnnouncedBeforeAndAfter();
};

void SourceEditorTest::keyUpSpeaksVirtualKeyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int code;
    } rows[] = {
        {"A", Qt::Key_A, Qt::NoModifier, 65},
        {"shift Z", Qt::Key_Z, Qt::ShiftModifier, 90},
        {"digit 0", Qt::Key_0, Qt::NoModifier, 48},
        {"digit 9", Qt::Key_9, Qt::NoModifier, 57},
        {"Enter", Qt::Key_Return, Qt::NoModifier, vk::Enter},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, vk::Enter},
        {"Space", Qt::Key_Space, Qt::NoModifier, vk::Space},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, vk::Backspace},
        {"Tab", Qt::Key_Tab, Qt::NoModifier, vk::Tab},
        {"Esc", Qt::Key_Escape, Qt::NoModifier, vk::Escape},
        {"Left", Qt::Key_Left, Qt::NoModifier, vk::Left},
        {"Up", Qt::Key_Up, Qt::NoModifier, vk::Up},
        {"Right", Qt::Key_Right, Qt::NoModifier, vk::Right},
        {"Down", Qt::Key_Down, Qt::NoModifier, vk::Down},
        {"PageUp", Qt::Key_PageUp, Qt::NoModifier, vk::PageUp},
        {"PageDown", Qt::Key_PageDown, Qt::NoModifier, vk::PageDown},
        {"End", Qt::Key_End, Qt::NoModifier, vk::End},
        {"Home", Qt::Key_Home, Qt::NoModifier, vk::Home},
        {"Insert", Qt::Key_Insert, Qt::NoModifier, vk::Insert},
        {"Delete", Qt::Key_Delete, Qt::NoModifier, vk::Delete},
        {"F1", Qt::Key_F1, Qt::NoModifier, 112},
        {"F3", Qt::Key_F3, Qt::NoModifier, vk::F3},
        {"shift F3", Qt::Key_F3, Qt::ShiftModifier, vk::F3},
        {"F12", Qt::Key_F12, Qt::NoModifier, 123},
        {"Shift alone", Qt::Key_Shift, Qt::NoModifier, vk::Shift},
        {"Ctrl alone", Qt::Key_Control, Qt::NoModifier, vk::Control},
        {"Alt alone", Qt::Key_Alt, Qt::NoModifier, vk::Alt},
        {"semicolon", Qt::Key_Semicolon, Qt::NoModifier, 186},
        {"colon", Qt::Key_Colon, Qt::ShiftModifier, 186},
        {"apostrophe", Qt::Key_Apostrophe, Qt::NoModifier, 222},
        {"percent", Qt::Key_Percent, Qt::ShiftModifier, '5'},
        {"asterisk", Qt::Key_Asterisk, Qt::ShiftModifier, '8'},
        {"minus", Qt::Key_Minus, Qt::NoModifier, 189},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << int(row.key) << int(row.modifiers) << row.code;
}

void SourceEditorTest::keyUpSpeaksVirtualKeyCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    ShownEditor editor("DUP");
    QTest::keyClick(&editor.edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // A shifted key is released before Shift, each release reported with its own code.
    QList<int> expected{code};
    if (Qt::KeyboardModifiers(modifiers).testFlag(Qt::ShiftModifier))
        expected << vk::Shift;
    QList<int> reported;
    for (const QList<QVariant>& signal : editor.keyUps)
        reported << signal.at(0).toInt();
    QCOMPARE(reported, expected);
    QCOMPARE(virtualKeyCode(key, Qt::KeyboardModifiers(modifiers).testFlag(Qt::KeypadModifier)),
             code);
}

void SourceEditorTest::keysWithoutKeyboardClicks()
{
    const std::pair<Qt::Key, int> rows[] = {
        {Qt::Key_unknown, 0},       {Qt::Key_Print, 44},    {Qt::Key_Pause, 19},
        {Qt::Key_CapsLock, 20},     {Qt::Key_Meta, 91},     {Qt::Key_Menu, 93},
        {Qt::Key_F24, 135},         {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
        {Qt::Key_Backtab, 9},       {Qt::Key_AltGr, 18},    {Qt::Key_Adiaeresis, 0},
        {Qt::Key_BracketLeft, 219}, {Qt::Key_Bar, 220},     {Qt::Key_QuoteDbl, 222},
        {Qt::Key_AsciiTilde, 192},
    };
    for (const auto& [key, code] : rows)
        QCOMPARE(virtualKeyCode(key), code);
}

void SourceEditorTest::keypadKeysHaveTheirOwnCodes()
{
    ShownEditor editor;
    QTest::keyClick(&editor.edit, Qt::Key_5, Qt::KeypadModifier);
    QTest::keyClick(&editor.edit, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(&editor.edit, Qt::Key_Asterisk, Qt::KeypadModifier);
    QCOMPARE(editor.keyUps.size(), 3);
    QCOMPARE(editor.keyUps.at(0).at(0).toInt(), 101);
    QCOMPARE(editor.keyUps.at(1).at(0).toInt(), 107);
    QCOMPARE(editor.keyUps.at(2).at(0).toInt(), 106);
    QCOMPARE(editor.buffer.text(), "5+*"s);
}

void SourceEditorTest::autoRepeatedReleasesAreNotReported()
{
    ShownEditor editor;
    const auto send = [&](QEvent::Type type, bool autoRepeat) {
        QKeyEvent event(type, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"), autoRepeat);
        QApplication::sendEvent(&editor.edit, &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 4; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    QCOMPARE(editor.keyUps.size(), 0);
    send(QEvent::KeyRelease, false);
    QCOMPARE(editor.keyUps.size(), 1);
    QCOMPARE(editor.lastKeyUp(), 68);
    QCOMPARE(editor.buffer.text(), "ddddd"s);
}

void SourceEditorTest::shiftEnterBreaksTheLineLikeEnter()
{
    ShownEditor editor("DUP SWAP");
    editor.buffer.setSelStart(4);
    QTest::keyClick(&editor.edit, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(editor.buffer.text(), "DUP \r\nSWAP"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);
    QCOMPARE(editor.buffer.selStart(), 6);
    QCOMPARE(editor.keyUps.first().at(0).toInt(), vk::Enter);
    QTest::keyClick(&editor.edit, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    QCOMPARE(editor.buffer.text(), "DUP \r\n\r\nSWAP"s);
}

void SourceEditorTest::shiftSpaceTypesASpace()
{
    ShownEditor editor("AB");
    editor.buffer.setSelStart(1);
    QTest::keyClick(&editor.edit, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(editor.buffer.text(), "A B"s);
    QCOMPARE(editor.keyUps.first().at(0).toInt(), vk::Space);
}

void SourceEditorTest::mouseUpIsReported()
{
    ShownEditor editor("::\r\nDUP");
    QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
    const QPoint point = editor.edit.rectForOffset(5).center();
    QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QCOMPARE(editor.mouseUps.size(), 1);
    QCOMPARE(editor.keyUps.size(), 0);
    QCOMPARE(editor.buffer.lineColumn(editor.buffer.selStart()).line, 2);
}

void SourceEditorTest::typedCharactersWithoutAByteBecomeQuestionMarks()
{
    ShownEditor editor;
    QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                        QString(QChar(0x0151)), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                        QString::fromUtf16(u"\U0001F600"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                        QString(QChar(0x2028)), Qt::NoModifier);
    QCOMPARE(editor.buffer.text(), "???"s);
    QCOMPARE(editor.buffer.length(), 3);
}

void SourceEditorTest::typedWindows1252CharactersAreKept()
{
    ShownEditor editor;
    for (const char16_t ch : {u'\u20AC', u'\u00E9', u'\u00A0', u'\u0178', u'\u2122'})
        QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                            QString(QChar(ch)), Qt::NoModifier);
    QCOMPARE(shown(editor.buffer.text()), shown("\x80\xE9\xA0\x9F\x99"s));
}

void SourceEditorTest::pastedLineEndsBecomeLineBreaks()
{
    ShownEditor editor("[]");
    editor.buffer.setSelStart(1);
    QApplication::clipboard()->setText(
        QString::fromUtf16(u"a\nb\r\nc\rd\u2028e\u2029f \u0151 \u20AC"));
    editor.edit.paste();
    QCOMPARE(shown(editor.buffer.text()), shown("[a\r\nb\r\nc\r\nd\r\ne\r\nf ? \x80]"s));
    QCOMPARE(editor.edit.model().lineCount(), 6);
    QCOMPARE(editor.buffer.selStart(), 21);
    editor.edit.undo();
    QCOMPARE(editor.buffer.text(), "[]"s);
}

void SourceEditorTest::copyAndPasteInsideTheEditorChangeNothing()
{
    const std::string text = "a\xA0"
                             "b\rc\nd\r\n\x81\x9D\t";
    ShownEditor editor(text);
    QTest::keyClick(&editor.edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&editor.edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(editor.buffer.text(), ""s);
    QTest::keyClick(&editor.edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&editor.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shown(editor.buffer.text()), shown(text + text));
}

void SourceEditorTest::backspaceBetweenLoneCrAndLfJoinsThemIntoALineBreak()
{
    ShownEditor editor("a\rx\nb");
    QCOMPARE(editor.edit.model().lineCount(), 1);
    editor.buffer.setSelStart(3);
    QTest::keyClick(&editor.edit, Qt::Key_Backspace);
    // The bytes now read CR LF: the editor shows them as the line break they are.
    QCOMPARE(editor.buffer.text(), "a\r\nb"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);
    QCOMPARE(editor.buffer.selStart(), 1);
    QCOMPARE(editor.buffer.lineColumn(3), (LineColumn{2, 1}));
    editor.edit.undo();
    QCOMPARE(editor.buffer.text(), "a\rx\nb"s);
    QCOMPARE(editor.edit.model().lineCount(), 1);

    editor.buffer.setSelStart(2);
    QTest::keyClick(&editor.edit, Qt::Key_Delete);
    QCOMPARE(editor.buffer.text(), "a\r\nb"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);

    // Deleting the line break between a lone CR and a lone LF leaves a CR LF: a line break.
    editor.buffer.setText("a\r\r\n\nb");
    editor.buffer.setSelStart(4);
    QTest::keyClick(&editor.edit, Qt::Key_Backspace);
    QCOMPARE(editor.buffer.text(), "a\r\nb"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);
    editor.edit.undo();
    QCOMPARE(editor.buffer.text(), "a\r\r\n\nb"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);

    // So does deleting a selected word between them.
    editor.buffer.setText("a\rword\nb");
    editor.buffer.setSelStart(2);
    editor.buffer.setSelLength(4);
    QTest::keyClick(&editor.edit, Qt::Key_Delete);
    QCOMPARE(editor.buffer.text(), "a\r\nb"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);
    editor.edit.undo();
    QCOMPARE(editor.buffer.text(), "a\rword\nb"s);

    // A pasted stand-in LF after a lone CR makes a line break too.
    editor.buffer.setText("a\rb");
    editor.buffer.setSelStart(2);
    QApplication::clipboard()->setText(QString(QChar(kLfStandIn)) + QLatin1Char('x'));
    editor.edit.paste();
    QCOMPARE(editor.buffer.text(), "a\r\nxb"s);
    QCOMPARE(editor.edit.model().lineCount(), 2);
    QCOMPARE(editor.buffer.selStart(), 4);
}

void SourceEditorTest::standInsAreDrawnWithARealGlyph()
{
    // The editor's fonts, or the fonts the system falls back to, have the stand-in glyphs.
    for (const QFont& font :
         {SourceEditor().font(), QFontDatabase::systemFont(QFontDatabase::GeneralFont)}) {
        GlyphCache glyphs;
        glyphs.reset(font, windows1252CodePage(), 10);
        for (const char byte : {'\r', '\n', 'A', '\x80'})
            QVERIFY2(glyphs.glyph(byte, false, false).kind == GlyphCache::Glyph::Kind::Glyph,
                     qPrintable(font.family()));
        QVERIFY(glyphs.glyph('\x81', false, false).kind == GlyphCache::Glyph::Kind::Box);
    }
}

void SourceEditorTest::setTextShowsTheStartOfTheNewText()
{
    std::string lines;
    for (int i = 0; i < 500; ++i)
        lines += "    DUP SWAP DROP " + std::to_string(i) + "\r\n";
    ShownEditor editor(lines);
    QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
    editor.buffer.setSelStart(editor.buffer.length());
    QVERIFY(editor.edit.verticalScrollBar()->value() > 0);
    editor.buffer.setText(lines);
    QCOMPARE(editor.buffer.selStart(), 0);
    QCOMPARE(editor.edit.verticalScrollBar()->value(), 0);
    QVERIFY(!editor.edit.isUndoAvailable());
    QCOMPARE(editor.edit.model().lineCount(), 501);
}

void SourceEditorTest::typingMergesIntoOneUndoStepUntilTheCaretMoves()
{
    ShownEditor editor;
    QTest::keyClicks(&editor.edit, "abc");
    QTest::keyClick(&editor.edit, Qt::Key_Left);
    QTest::keyClicks(&editor.edit, "x");
    QTest::keyClick(&editor.edit, Qt::Key_Backspace);
    QTest::keyClick(&editor.edit, Qt::Key_Backspace);
    QCOMPARE(editor.buffer.text(), "ac"s);
    const std::pair<QKeyCombination, std::string> steps[] = {
        {Qt::CTRL | Qt::Key_Z, "abxc"},
        {Qt::CTRL | Qt::Key_Z, "abc"},
        {Qt::CTRL | Qt::Key_Z, ""},
        {Qt::CTRL | Qt::Key_Z, ""},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "abc"},
        {Qt::CTRL | Qt::Key_Y, "abxc"},
        {Qt::CTRL | Qt::Key_Y, "ac"},
    };
    for (const auto& [key, text] : steps) {
        QTest::keyClick(&editor.edit, key.key(), key.keyboardModifiers());
        QCOMPARE(editor.buffer.text(), text);
    }
    QCOMPARE(editor.buffer.selStart(), 1);
}

void SourceEditorTest::navigationKeys_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    // Lines "one  two" [0, 8), "\tx" [10, 12), "last line" [14, 23).
    const struct {
        const char* name;
        int start;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int presses, anchor, caret;
    } rows[] = {
        {"right over a line break", 8, Qt::Key_Right, {}, 1, 10, 10},
        {"left over a line break", 10, Qt::Key_Left, {}, 1, 8, 8},
        {"shift right", 7, Qt::Key_Right, Qt::ShiftModifier, 2, 7, 10},
        {"home", 12, Qt::Key_Home, {}, 1, 10, 10},
        {"end", 10, Qt::Key_End, {}, 1, 12, 12},
        {"shift end", 1, Qt::Key_End, Qt::ShiftModifier, 1, 1, 8},
        {"ctrl home", 20, Qt::Key_Home, Qt::ControlModifier, 1, 0, 0},
        {"ctrl end", 3, Qt::Key_End, Qt::ControlModifier, 1, 23, 23},
        {"ctrl right", 0, Qt::Key_Right, Qt::ControlModifier, 3, 10, 10},
        {"ctrl left", 14, Qt::Key_Left, Qt::ControlModifier, 2, 11, 11},
        {"ctrl shift left", 8, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, 1, 8, 5},
        {"down into a tab", 3, Qt::Key_Down, {}, 1, 10, 10},
        {"down keeps the column", 3, Qt::Key_Down, {}, 2, 17, 17},
        {"down past a short line's end", 12, Qt::Key_Down, {}, 1, 23, 23},
        {"up", 16, Qt::Key_Up, {}, 1, 10, 10},
        {"up on the first line stays", 2, Qt::Key_Up, {}, 1, 2, 2},
        {"shift down", 0, Qt::Key_Down, Qt::ShiftModifier, 1, 0, 10},
        {"page down", 1, Qt::Key_PageDown, {}, 1, 15, 15},
        {"select all", 5, Qt::Key_A, Qt::ControlModifier, 1, 0, 23},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.start << int(row.key) << int(row.modifiers) << row.presses
                                << row.anchor << row.caret;
}

void SourceEditorTest::navigationKeys()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, presses);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    ShownEditor editor("one  two\r\n\tx\r\nlast line");
    editor.buffer.setSelStart(start);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(&editor.edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(editor.selection(), std::make_pair(std::int64_t{anchor}, std::int64_t{caret}));
}

void SourceEditorTest::mouseClicksDragsAndDoubleClicksSelect()
{
    ShownEditor editor("DUP SWAP\r\nDROP");
    QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
    QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, {}, editor.before(5));
    QCOMPARE(editor.selection(), std::make_pair(std::int64_t{5}, std::int64_t{5}));
    editor.drag(4, 8);
    QCOMPARE(editor.buffer.selText(), "SWAP"s);
    QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, Qt::ShiftModifier, editor.before(12));
    QCOMPARE(editor.buffer.selText(), "SWAP\r\nDR"s);
    QTest::mouseDClick(editor.edit.viewport(), Qt::LeftButton, {}, editor.before(11));
    QCOMPARE(editor.buffer.selText(), "DROP"s);
    // A click past the end of a line puts the caret at its end.
    QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, {},
                      editor.edit.rectForOffset(3).center() + QPoint(300, 0));
    QCOMPARE(editor.buffer.selStart(), 8);
}

void SourceEditorTest::offsetAtAndRectForOffsetAgree()
{
    const std::string line = "\tDUP\t\tSWAP " + std::string(300, 'x');
    const auto second = static_cast<std::int64_t>(line.size()) + 2;
    ShownEditor editor(line + "\r\n12345678ab");
    QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
    for (const int scroll : {0, 120}) {
        editor.edit.horizontalScrollBar()->setValue(scroll);
        for (std::int64_t offset = 0; offset < 40; ++offset) {
            const QRect cell = editor.edit.rectForOffset(offset);
            if (cell.left() >= 0)
                QCOMPARE(editor.edit.offsetAt(cell.center()), std::optional<std::int64_t>(offset));
        }
        // A tab reaches to the next multiple of eight cells.
        QCOMPARE(editor.edit.rectForOffset(1).left(), editor.edit.rectForOffset(second + 8).left());
    }
    const QRect pastTheEnd = editor.edit.rectForOffset(editor.buffer.length());
    QCOMPARE(editor.edit.offsetAt(pastTheEnd.center()), std::nullopt);
    QCOMPARE(editor.edit.offsetAt(pastTheEnd.center() + QPoint(0, pastTheEnd.height())),
             std::nullopt);
}

void SourceEditorTest::drawsSelectionCurrentLineStylesMarksAndGutter()
{
    ShownEditor editor("DUP SWAP\r\nDROP\r\n");
    QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);
    editor.edit.setHighlighter(std::make_shared<FirstWord>(),
                               {TextStyle{blue, {}, true, false, {}}});
    editor.edit.setMarks({{10, 14, TextStyle{{}, {}, false, false, red}}});
    editor.buffer.setSelStart(4);
    editor.buffer.setSelLength(4);
    const QPalette& palette = editor.edit.palette();
    const QImage image = editor.edit.viewport()->grab().toImage();
    const int width = image.width();
    QVERIFY(anyPixel(image, editor.edit.rectForOffset(5),
                     palette.color(QPalette::Active, QPalette::Highlight)));
    QVERIFY(anyPixel(image, editor.edit.rectForOffset(0), blue));
    QVERIFY(!anyPixel(image, editor.edit.rectForOffset(4), blue));
    QVERIFY(anyPixel(image, editor.edit.rectForOffset(11), red));
    // The caret's line is shaded to the right edge; the others are not.
    const QRect lineEnds[] = {editor.edit.rectForOffset(8), editor.edit.rectForOffset(14)};
    const QColor base = palette.color(QPalette::Base);
    QCOMPARE_NE(image.pixelColor(width - 3, lineEnds[0].center().y()), base);
    QCOMPARE(image.pixelColor(width - 3, lineEnds[1].center().y()), base);

    const int textLeft = editor.edit.viewport()->x();
    editor.edit.setLineNumbersVisible(true);
    QVERIFY(editor.edit.viewport()->x() > textLeft);
    const QImage withNumbers = editor.edit.grab().toImage();
    const QRect gutter(textLeft, 0, editor.edit.viewport()->x() - textLeft, lineEnds[0].height());
    QVERIFY(anyPixel(withNumbers, gutter, palette.color(QPalette::Text)));
}

void SourceEditorTest::colouringRunsOverTheLinesShownOnly()
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "DUP SWAP\r\n";
    ShownEditor editor(text);
    QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
    const auto highlighter = std::make_shared<FirstWord>();
    editor.edit.setHighlighter(highlighter, {});
    editor.edit.viewport()->repaint();
    const int shown = editor.edit.visibleLines() + 1;
    QVERIFY2(highlighter->calls <= 2 * shown, qPrintable(QString::number(highlighter->calls)));
    // A key on the first line colours that line again and the lines painted, nothing more.
    highlighter->calls = 0;
    QTest::keyClick(&editor.edit, Qt::Key_X);
    editor.edit.viewport()->repaint();
    QVERIFY2(highlighter->calls <= shown + 2, qPrintable(QString::number(highlighter->calls)));
}

void SourceEditorTest::inputMethodTextGoesInAsTyped()
{
    ShownEditor editor("<>");
    editor.buffer.setSelStart(1);
    QInputMethodEvent preedit(QStringLiteral("e\u0301"), {});
    QApplication::sendEvent(&editor.edit, &preedit);
    QCOMPARE(editor.buffer.text(), "<>"s);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf16(u"\u00E9\u20AC\u0151"));
    QApplication::sendEvent(&editor.edit, &commit);
    QCOMPARE(shown(editor.buffer.text()), shown("<\xE9\x80?>"s));
    QCOMPARE(editor.buffer.selStart(), 4);
    QCOMPARE(editor.edit.inputMethodQuery(Qt::ImSurroundingText).toString(),
             QString::fromUtf16(u"<\u00E9\u20AC?>"));
    QCOMPARE(editor.edit.inputMethodQuery(Qt::ImCursorPosition).toInt(), 4);
}

void SourceEditorTest::codePageDecidesCharactersNotBytes()
{
    std::array<char16_t, 256> latin9{};
    for (int b = 0; b < 256; ++b)
        latin9[static_cast<std::size_t>(b)] = static_cast<char16_t>(b);
    latin9[0xA4] = u'\u20AC';
    ShownEditor editor("\x80\xA4");
    editor.buffer.setSelStart(2);
    editor.edit.setCodePage(CodePageTable(latin9, {}));
    QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                        QString(QChar(u'\u20AC')), Qt::NoModifier);
    QCOMPARE(shown(editor.buffer.text()), shown("\x80\xA4\xA4"s));
    editor.edit.selectAll();
    editor.edit.copy();
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf16(u"\u0080\u20AC\u20AC"));
}

void SourceEditorTest::everyEditIsAnnouncedBeforeAndAfter()
{
    ShownEditor editor("a\rb");
    QSignalSpy before(&editor.edit, &SourceEditor::aboutToChange);
    QSignalSpy after(&editor.edit, &SourceEditor::changed);
    QSignalSpy modified(&editor.edit, &SourceEditor::modificationChanged);
    editor.edit.setModified(false);
    editor.buffer.setSelStart(2);
    editor.buffer.setSelText("\n"); // after the lone CR: a line break
    QCOMPARE(editor.edit.model().lineCount(), 2);
    editor.edit.undo();
    const QList<QList<QVariant>> expectedBefore = {{2, 2}, {2, 3}};
    const QList<QList<QVariant>> expectedAfter = {{2, 0, 1}, {2, 1, 0}};
    QCOMPARE(before.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(before.at(i).at(0).toLongLong(), expectedBefore[i][0].toLongLong());
        QCOMPARE(before.at(i).at(1).toLongLong(), expectedBefore[i][1].toLongLong());
        for (int j = 0; j < 3; ++j)
            QCOMPARE(after.at(i).at(j).toLongLong(), expectedAfter[i][j].toLongLong());
    }
    QCOMPARE(modified.size(), 3); // unmodified, modified, back to unmodified
    QCOMPARE(modified.last().at(0).toBool(), false);
}

QTEST_MAIN(SourceEditorTest)
#include "source_editor_test.moc"
