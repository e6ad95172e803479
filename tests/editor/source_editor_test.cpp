#include "editor/code_page.h"
#include "editor/editor_buffer.h"
#include "editor/glyph_cache.h"
#include "editor/key_codes.h"
#include "editor/source_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
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
};

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
    editor.edit.selectAll();
    editor.edit.copy();
    editor.buffer.setText("");
    editor.edit.paste();
    QCOMPARE(shown(editor.buffer.text()), shown(text));
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
        glyphs.reset(font, CodePage::windows1252(), 10);
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

QTEST_MAIN(SourceEditorTest)
#include "source_editor_test.moc"
