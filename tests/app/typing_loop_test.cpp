// The typing loop driven as a person drives it: keys sent to the window, so each release lands
// wherever the focus is at that moment.
#include "app/typing_loop.h"
#include "editor/editor_buffer.h"
#include "support/unprivileged.h"
#include "support/window_session.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>

#include <sys/stat.h>

using namespace scrivlet;

namespace {

struct Session : fixtures::WindowSession {
    explicit Session(const Prepare& prepare = sampleEntries) : WindowSession(prepare)
    {
        if (!showActive())
            qWarning("the main window did not become active");
    }
    QPlainTextEdit* editor() const { return child<QPlainTextEdit>("text"); }
    QListView* list() const { return child<QListView>("entry"); }
    QString current() const { return list()->currentIndex().data().toString(); }
    QString description() const { return child<QLabel>("description")->text(); }
    EditorBuffer& buffer() const { return window->buffer(); }
    const TypingLoop& loop() const { return window->typingLoop(); }
    std::string text() const { return buffer().text(); }
    std::int64_t usage(const std::string& name) const { return fixtures::usageInFile(dir.file("entries97.mdb"), name); }

    void type(const char* keys) const
    {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(window->windowHandle(), *k);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) const
    {
        QTest::keyClick(window->windowHandle(), key, mods);
    }
    void undo() const { key(Qt::Key_Z, Qt::ControlModifier); }
    QPoint at(const QString& name) const
    {
        const auto* model = list()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->index(r, 0).data().toString() == name)
                return list()->visualRect(model->index(r, 0)).center();
        return {};
    }
    void click(const QString& name) const { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at(name)); }
    // The text in the editor and the caret at its end, as the user would find it.
    void start(std::string_view content) const
    {
        buffer().setText(content);
        buffer().setSelStart(static_cast<std::int64_t>(content.size()));
        editor()->setFocus();
    }
};

} // namespace

class TypingLoopTest : public QObject {
    Q_OBJECT

private slots:
    void typedPrefixIsProposedAndEnterInsertsAndCounts()
    {
        Session s;
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,1"));
        QVERIFY(s.editor()->hasFocus());
        s.type("D");
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("DUP"));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03188"));
        QCOMPARE(s.description(), QStringLiteral("( ob -> ob ob )\nDuplicates level 1."));

        s.type("U"); // pressed in the list, written into the editor, released in the editor
        QCOMPARE(s.text(), std::string("::\r\nDU\r\n;\r\n@\r\n"));
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,3"));

        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("::\r\nDUP\r\n;\r\n@\r\n"));
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,4"));
        QCOMPARE(s.usage("DUP"), 10);
        QCOMPARE(s.loop().lastkey(), 13);
        QVERIFY(s.loop().indentarmed());
        s.undo(); // the insertion is one step; undo takes back the text, not the count
        QCOMPARE(s.text(), std::string("::\r\nDU\r\n;\r\n@\r\n"));
        QCOMPARE(s.usage("DUP"), 10);
    }

    void arrowsLookUpInPlaceAndTheWholeSpanIsReplaced()
    {
        Session s;
        s.start("x dUP");
        s.buffer().setSelStart(3);
        s.key(Qt::Key_Right);
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("DUP"));
        QCOMPARE(s.loop().wordSpan(), (WordSpan{3, 5}));
        s.click(QStringLiteral("SWAP"));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03223"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("x SWAP"));
        QCOMPARE(s.usage("SWAP"), 8);
    }

    void aMissClearsTheSelectionAndKeepsTheFocus()
    {
        Session s;
        s.start("");
        s.type("DQ");
        QCOMPARE(s.text(), std::string("DQ"));
        QVERIFY(s.editor()->hasFocus());
        QVERIFY(s.list()->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(s.description(), QStringLiteral("( ob -> ob ob )\nDuplicates level 1."));
        s.key(Qt::Key_Return); // no entry: an ordinary line break
        QCOMPARE(s.text(), std::string("DQ\r\n"));
    }

    void spaceEmptiesTheSpanSoADoubleClickInsertsAtTheCaret()
    {
        Session s;
        s.start("");
        s.type("S ");
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.loop().wordSpan(), (WordSpan{3, 2}));
        s.click(QStringLiteral("DROP"));
        QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, {}, s.at(QStringLiteral("DROP")));
        QCOMPARE(s.text(), std::string("S DROP"));
        QCOMPARE(s.usage("DROP"), 6);
    }

    void backspaceFromTheListDeletesWhatTheEditorWould()
    {
        Session s;
        s.start("ab\r\n");
        s.type("D");
        QVERIFY(s.list()->hasFocus());
        s.key(Qt::Key_Backspace);
        QCOMPARE(s.text(), std::string("ab\r\n"));
        QVERIFY(s.editor()->hasFocus());
        s.list()->setFocus(); // at the start of a line: the whole line break
        s.key(Qt::Key_Backspace);
        QCOMPARE(s.text(), std::string("ab"));
        s.buffer().setSelStart(0);
        s.list()->setFocus();
        s.key(Qt::Key_Backspace);
        QCOMPARE(s.text(), std::string("ab"));
        QVERIFY(s.editor()->hasFocus());
    }

    void enterAndItsIndentationAreOneUndoStep()
    {
        Session s;
        s.start("    ");
        s.type("D");
        s.key(Qt::Key_Return); // accepts DUP; its release in the editor does not indent
        QCOMPARE(s.text(), std::string("    DUP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    "));
        s.click(QStringLiteral("SWAP")); // a click leaves lastkey: Enter in the list breaks the line
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    \r\n        ")); // its release indents again
        QCOMPARE(s.usage("SWAP"), 7);
        QVERIFY(s.editor()->hasFocus());
        s.undo();
        QCOMPARE(s.text(), std::string("    DUP\r\n    "));
        s.undo();
        QCOMPARE(s.text(), std::string("    DUP"));

        s.window->findChild<QAction*>(QStringLiteral("options2"))->trigger();
        s.editor()->setFocus();
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n"));
    }

    void keyboardMovesInTheListChooseWhatEnterInserts()
    {
        Session s;
        s.start("");
        s.type("D");
        s.key(Qt::Key_Down);
        QCOMPARE(s.current(), QStringLiteral("SWAP"));
        QCOMPARE(s.description(), QStringLiteral("( 1 2 -> 2 1 )"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("SWAP"));
    }

    void escAndShortcutsInTheListGoBackToTheEditorUnwritten()
    {
        Session s;
        s.start("");
        s.type("D");
        s.window->findChild<QAction*>(QStringLiteral("options1"))->trigger();
        s.key(Qt::Key_Escape);
        QCOMPARE(s.text(), std::string("D"));
        QVERIFY(s.editor()->hasFocus());
        s.type("U");
        QCOMPARE(s.log->beeps, 1);
        QVERIFY(s.list()->hasFocus());
        s.undo(); // from the list; the typed word was one step
        QCOMPARE(s.text(), std::string(""));
        s.type("Q");
        QCOMPARE(s.log->beeps, 1); // a miss does not beep
    }

    void aCountThatCannotBeWrittenStillInsertsAndSaysSoOnce()
    {
        fixtures::Unprivileged asUser; // so that the file's permissions bind even for root
        Session s([](const fixtures::TempDir& dir) {
            fixtures::WindowSession::sampleEntries(dir);
            chmod(dir.file("entries97.mdb").c_str(), 0444);
        });
        QCOMPARE(int(s.log->messages.size()), 1); // read-only, said at start
        s.start("");
        s.type("D");
        s.key(Qt::Key_Return);
        s.type(" S");
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("DUP SWAP"));
        QCOMPARE(int(s.log->messages.size()), 2); // told once per session
        QVERIFY(s.log->messages[1].text.contains(QString::fromStdString(s.dir.file("entries97.mdb"))));
        QCOMPARE(s.usage("SWAP"), 7);
    }

    void mouseClickInTheEditorLooksUpWithoutMovingTheFocus()
    {
        Session s;
        s.start("SWAP DROP");
        s.buffer().setSelStart(1);
        QTest::mouseClick(s.editor()->viewport(), Qt::LeftButton, {}, s.editor()->cursorRect().center());
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("SWAP"));
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,2"));
    }
};

QTEST_MAIN(TypingLoopTest)
#include "typing_loop_test.moc"
