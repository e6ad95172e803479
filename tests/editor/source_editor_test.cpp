// What the editor control adds to the text model and the key-code table: real key, mouse and
// input-method events, the clipboard, the undo steps of typing, colouring and its signals.
#include "calculator/calculator_charset.h"
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

// Every argument of every signal a spy caught, in order.
QList<qint64> signalValues(const QSignalSpy& spy)
{
    QList<qint64> values;
    for (const QList<QVariant>& arguments : spy)
        for (const QVariant& value : arguments)
            values << value.toLongLong();
    return values;
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
    // A point just inside the left edge of the byte's cell: a click there puts the caret before it.
    QPoint before(std::int64_t offset) const
    {
        const QRect cell = edit.rectForOffset(offset);
        return {cell.left() + 1, cell.center().y()};
    }
    std::pair<qint64, qint64> selection() const { return {edit.anchor(), edit.caret()}; }
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

} // namespace

class SourceEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void virtualKeyCodesOfQtKeys()
    {
        // clang-format off
        const std::tuple<Qt::Key, bool, int> rows[] = {
            {Qt::Key_A, false, 65}, {Qt::Key_Z, false, 90}, {Qt::Key_0, false, 48}, {Qt::Key_9, false, 57},
            {Qt::Key_Return, false, vk::Enter}, {Qt::Key_Enter, true, vk::Enter}, {Qt::Key_Backtab, false, vk::Tab},
            {Qt::Key_PageDown, false, vk::PageDown}, {Qt::Key_F1, false, 112}, {Qt::Key_F3, false, vk::F3},
            {Qt::Key_F24, false, 135}, {Qt::Key_Shift, false, vk::Shift}, {Qt::Key_AltGr, false, vk::Alt},
            {Qt::Key_Print, false, 44}, {Qt::Key_Meta, false, 91}, {Qt::Key_NumLock, false, 144},
            {Qt::Key_Semicolon, false, 186}, {Qt::Key_Colon, false, 186}, {Qt::Key_Minus, false, 189},
            {Qt::Key_Bar, false, 220}, {Qt::Key_QuoteDbl, false, 222}, {Qt::Key_Percent, false, '5'},
            {Qt::Key_Asterisk, false, '8'}, {Qt::Key_Asterisk, true, 106}, {Qt::Key_5, true, 101},
            {Qt::Key_Plus, true, 107}, {Qt::Key_unknown, false, 0}, {Qt::Key_Adiaeresis, false, 0},
        };
        // clang-format on
        QList<int> codes, expected;
        for (const auto& [key, keypad, code] : rows) {
            codes << virtualKeyCode(key, keypad);
            expected << code;
        }
        QCOMPARE(codes, expected);
    }

    void keyReleasesAreReportedWithTheirCodes()
    {
        ShownEditor editor;
        // A shifted key is released before Shift, each release reported with its own code; the
        // keypad flag reaches the table; Shift+Enter breaks the line like Enter.
        QTest::keyClick(&editor.edit, Qt::Key_Z, Qt::ShiftModifier);
        QTest::keyClick(&editor.edit, Qt::Key_5, Qt::KeypadModifier);
        QTest::keyClick(&editor.edit, Qt::Key_Space, Qt::ShiftModifier);
        QTest::keyClick(&editor.edit, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(&editor.edit, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        // A held key types on, and only its last release is reported.
        const auto send = [&](QEvent::Type type, bool autoRepeat) {
            QKeyEvent event(type, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"), autoRepeat);
            QApplication::sendEvent(&editor.edit, &event);
        };
        send(QEvent::KeyPress, false);
        for (int i = 0; i < 4; ++i) {
            send(QEvent::KeyRelease, true);
            send(QEvent::KeyPress, true);
        }
        send(QEvent::KeyRelease, false);
        QCOMPARE(signalValues(editor.keyUps),
                 (QList<qint64>{90, vk::Shift, 101, vk::Space, vk::Shift, vk::Enter, vk::Shift,
                                vk::Enter, vk::Shift, 68}));
        QCOMPARE(editor.buffer.text(),
                 "z5 \r\n\r\nddddd"s); // QTest sends Shift+Z with the text "z"
        QCOMPARE(editor.edit.model().lineCount(), 3);
    }

    void typedTextGoesInThroughTheCodePage()
    {
        ShownEditor editor("<>");
        editor.buffer.setSelStart(1);
        for (const char16_t* typed :
             {u"\u20AC", u"\u00E9", u"\u0178", u"\u0151", u"\U0001F600", u"\u2028"})
            QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                                QString::fromUtf16(typed), Qt::NoModifier);
        QCOMPARE(shown(editor.buffer.text()), shown("<\x80\xE9\x9F???"
                                                    ">"s));
        // An input method's preedit is no text yet; its commit goes in as typed.
        QInputMethodEvent preedit(QStringLiteral("e\u0301"), {});
        QApplication::sendEvent(&editor.edit, &preedit);
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf16(u"\u00A0\u0151"));
        QApplication::sendEvent(&editor.edit, &commit);
        QCOMPARE(shown(editor.buffer.text()), shown("<\x80\xE9\x9F???\xA0?>"s));
        QCOMPARE(editor.edit.inputMethodQuery(Qt::ImSurroundingText).toString(),
                 QString::fromUtf16(u"<\u20AC\u00E9\u0178???\u00A0?>"));
        QCOMPARE(editor.edit.inputMethodQuery(Qt::ImCursorPosition).toInt(), 9);

        // Another code page decides which byte a character is, and what a copy holds.
        editor.buffer.setText("\x80");
        editor.buffer.setSelStart(1);
        editor.edit.setTextEncoding(TextEncoding::Calculator);
        QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                            QString(QChar(u'\u20AC')), Qt::NoModifier);
        QCOMPARE(shown(editor.buffer.text()), shown("\x80\xA0"s));
        editor.edit.selectAll();
        editor.edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf16(u"\u2220\u20AC"));
    }

    void clipboardTextBecomesBytesAndComesBackUnchanged()
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

        // Lone CR and LF, undefined and high bytes survive a cut and two pastes.
        const std::string text = "a\xA0"
                                 "b\rc\nd\r\n\x81\x9D\t";
        editor.buffer.setText(text);
        QTest::keyClick(&editor.edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&editor.edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(editor.buffer.text(), ""s);
        QTest::keyClick(&editor.edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&editor.edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shown(editor.buffer.text()), shown(text + text));
    }

    void loneCrAndLfBroughtTogetherMakeALineBreak()
    {
        // Deleting what stands between a lone CR and a lone LF, or pasting a stand-in LF after a
        // lone CR, leaves CR LF: the editor shows them as the line break they are.
        // clang-format off
        const std::tuple<const char*, int, int, QKeyCombination, const char*, int, int> rows[] = {
            // text, selection start and length, key, text after, caret after, lines before
            {"a\rx\nb", 3, 0, Qt::Key_Backspace, "a\r\nb", 1, 1},
            {"a\rx\nb", 2, 0, Qt::Key_Delete, "a\r\nb", 1, 1},
            {"a\r\r\n\nb", 4, 0, Qt::Key_Backspace, "a\r\nb", 1, 2},
            {"a\rword\nb", 2, 4, Qt::Key_Delete, "a\r\nb", 1, 1},
            {"a\rb", 2, 0, Qt::CTRL | Qt::Key_V, "a\r\nxb", 4, 1},
        };
        // clang-format on
        QApplication::clipboard()->setText(QString(QChar(kLfStandIn)) + QLatin1Char('x'));
        ShownEditor editor;
        for (const auto& [text, start, length, key, after, caret, linesBefore] : rows) {
            editor.buffer.setText(text);
            editor.buffer.setSelStart(start);
            editor.buffer.setSelLength(length);
            QTest::keyClick(&editor.edit, key.key(), key.keyboardModifiers());
            QCOMPARE(editor.buffer.text(), std::string(after));
            QCOMPARE(editor.edit.model().lineCount(), 2);
            QCOMPARE(editor.buffer.selStart(), caret);
            editor.edit.undo();
            QCOMPARE(editor.buffer.text(), std::string(text));
            QCOMPARE(editor.edit.model().lineCount(), linesBefore);
        }
    }

    void standInsAreDrawnWithARealGlyph()
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

    void utf8CharactersAreDrawnInOneCellAndTypedAsUtf8()
    {
        // A UTF-8 character is drawn as the same character of an 8-bit page would be; a byte of
        // no valid sequence as Windows-1252 has it.
        const auto picture = [](std::string_view bytes, TextEncoding encoding) {
            SourceEditor edit;
            edit.resize(200, 60);
            EditorBuffer buffer(edit);
            buffer.setText(bytes);
            edit.setTextEncoding(encoding);
            return edit.grab().toImage();
        };
        QCOMPARE(picture("\xC3\xA7\xC3\xA3-\xE7!", TextEncoding::Utf8),
                 picture("\xE7\xE3-\xE7!", TextEncoding::Windows1252));
        QCOMPARE(picture("[\xE2\x86\x92]", TextEncoding::Utf8),
                 picture("[\x8D]", TextEncoding::Calculator));

        ShownEditor editor("\xC3\xA7x");
        editor.edit.setTextEncoding(TextEncoding::Utf8);
        QTest::keyClick(&editor.edit, Qt::Key_Right); // over the character whole
        QCOMPARE(editor.buffer.selStart(), 2);
        QTest::sendKeyEvent(QTest::KeyAction::Click, &editor.edit, Qt::Key_unknown,
                            QString::fromUtf16(u"\u2192\U0001F600"), Qt::NoModifier);
        QCOMPARE(shown(editor.buffer.text()), shown("\xC3\xA7\xE2\x86\x92\xF0\x9F\x98\x80x"s));
        QTest::keyClick(&editor.edit, Qt::Key_Backspace);
        QTest::keyClick(&editor.edit, Qt::Key_Left);
        QCOMPARE(editor.buffer.selStart(), 2);
        editor.edit.selectAll();
        editor.edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf16(u"\u00E7\u2192x"));
    }

    void typingMergesIntoOneUndoStepUntilTheCaretMoves()
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

    void navigationKeysMoveAndSelect()
    {
        // Lines "one  two" [0, 8), "\tx" [10, 12), "last line" [14, 23).
        // clang-format off
        const std::tuple<int, QKeyCombination, int, qint64, qint64> rows[] = {
            // start, key, presses, anchor and caret after
            {8, Qt::Key_Right, 1, 10, 10},            {7, Qt::SHIFT | Qt::Key_Right, 2, 7, 10},
            {12, Qt::Key_Home, 1, 10, 10},            {1, Qt::SHIFT | Qt::Key_End, 1, 1, 8},
            {3, Qt::CTRL | Qt::Key_End, 1, 23, 23},   {0, Qt::CTRL | Qt::Key_Right, 3, 10, 10},
            {8, Qt::CTRL | Qt::SHIFT | Qt::Key_Left, 1, 8, 5},
            {3, Qt::Key_Down, 2, 17, 17}, // into the tab, then back to the column
            {12, Qt::Key_Down, 1, 23, 23},            {2, Qt::Key_Up, 1, 2, 2},
            {1, Qt::Key_PageDown, 1, 15, 15},         {5, Qt::CTRL | Qt::Key_A, 1, 0, 23},
        };
        // clang-format on
        ShownEditor editor("one  two\r\n\tx\r\nlast line");
        QList<std::pair<qint64, qint64>> selections, expected;
        for (const auto& [start, key, presses, anchor, caret] : rows) {
            editor.buffer.setSelStart(start);
            for (int i = 0; i < presses; ++i)
                QTest::keyClick(&editor.edit, key.key(), key.keyboardModifiers());
            selections << editor.selection();
            expected << std::pair{anchor, caret};
        }
        QCOMPARE(selections, expected);
    }

    void mouseClicksDragsAndDoubleClicksSelect()
    {
        ShownEditor editor("DUP SWAP\r\nDROP");
        QVERIFY(QTest::qWaitForWindowExposed(&editor.edit));
        QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, {}, editor.before(5));
        QCOMPARE(editor.selection(), std::make_pair(qint64{5}, qint64{5}));
        QCOMPARE(editor.mouseUps.size(), 1);
        QCOMPARE(editor.keyUps.size(), 0);
        QTest::mousePress(editor.edit.viewport(), Qt::LeftButton, {}, editor.before(4));
        QMouseEvent move(QEvent::MouseMove, editor.before(8), editor.before(8), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor.edit.viewport(), &move);
        QTest::mouseRelease(editor.edit.viewport(), Qt::LeftButton, {}, editor.before(8));
        QCOMPARE(editor.buffer.selText(), "SWAP"s);
        QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          editor.before(12));
        QCOMPARE(editor.buffer.selText(), "SWAP\r\nDR"s);
        QTest::mouseDClick(editor.edit.viewport(), Qt::LeftButton, {}, editor.before(11));
        QCOMPARE(editor.buffer.selText(), "DROP"s);
        // A click past the end of a line puts the caret at its end.
        QTest::mouseClick(editor.edit.viewport(), Qt::LeftButton, {},
                          editor.edit.rectForOffset(3).center() + QPoint(300, 0));
        QCOMPARE(editor.buffer.selStart(), 8);
    }

    void offsetAtAndRectForOffsetAgree()
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
                    QCOMPARE(editor.edit.offsetAt(cell.center()), std::optional(offset));
            }
            // A tab reaches to the next multiple of eight cells.
            QCOMPARE(editor.edit.rectForOffset(1).left(),
                     editor.edit.rectForOffset(second + 8).left());
        }
        const QRect pastTheEnd = editor.edit.rectForOffset(editor.buffer.length());
        QCOMPARE(editor.edit.offsetAt(pastTheEnd.center()), std::nullopt);
        QCOMPARE(editor.edit.offsetAt(pastTheEnd.center() + QPoint(0, pastTheEnd.height())),
                 std::nullopt);
    }

    void aLongTextShowsItsStartAndColoursOnlyTheLinesShown()
    {
        std::string text;
        for (int i = 0; i < 20000; ++i)
            text += "    DUP SWAP " + std::to_string(i) + "\r\n";
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

        // A new text shows its start, and the edits before it cannot be undone.
        editor.buffer.setSelStart(editor.buffer.length());
        QTest::keyClicks(&editor.edit, "x");
        QVERIFY(editor.edit.verticalScrollBar()->value() > 0);
        editor.buffer.setText(text);
        QCOMPARE(editor.buffer.selStart(), 0);
        QCOMPARE(editor.edit.verticalScrollBar()->value(), 0);
        QVERIFY(!editor.edit.isUndoAvailable());
        QCOMPARE(editor.edit.model().lineCount(), 20001);
    }

    void everyEditIsAnnouncedBeforeAndAfter()
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
        QCOMPARE(signalValues(before), (QList<qint64>{2, 2, 2, 3}));
        QCOMPARE(signalValues(after), (QList<qint64>{2, 0, 1, 2, 1, 0}));
        QCOMPARE(signalValues(modified), (QList<qint64>{0, 1, 0}));
    }
};

QTEST_MAIN(SourceEditorTest)
#include "source_editor_test.moc"
