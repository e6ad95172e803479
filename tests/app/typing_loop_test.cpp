// The typing loop driven as a person drives it: keys sent to the window, so each release lands
// wherever the focus is at that moment.
#include "app/form1.h"
#include "app/typing_loop.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "support/entry_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QtTest>

#include <sys/stat.h>

using namespace scrivlet;

namespace {

struct Session {
    fixtures::TempDir dir;
    QString previousDir = QDir::currentPath();
    std::shared_ptr<fixtures::PromptLog> log = std::make_shared<fixtures::PromptLog>();
    std::unique_ptr<Form1> window;
    std::string database = dir.file("entries97.mdb");

    explicit Session(const std::function<void(const std::string&)>& prepare = {})
    {
        fixtures::writeEntryDatabase(database, fixtures::sampleEntries());
        if (prepare)
            prepare(database);
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        qputenv("windir", QByteArray::fromStdString(dir.path().string()));
        StartOptions options;
        options.prompts = std::make_unique<fixtures::RecordingPrompts>(log);
        window = std::make_unique<Form1>(std::move(options));
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
    }
    ~Session()
    {
        window.reset();
        QDir::setCurrent(previousDir);
    }

    QWindow* handle() const { return window->windowHandle(); }
    SourceEditor* editor() const { return window->findChild<SourceEditor*>(QStringLiteral("text")); }
    QListView* list() const { return window->findChild<QListView*>(QStringLiteral("entry")); }
    QString description() const { return window->findChild<QLabel*>(QStringLiteral("description"))->text(); }
    QString addr() const { return window->findChild<QLabel*>(QStringLiteral("addr"))->text(); }
    EditorBuffer& buffer() const { return window->buffer(); }
    std::string text() const { return buffer().text(); }
    std::int64_t usage(const std::string& name) const { return fixtures::usageInFile(database, name); }

    void type(const char* keys) const
    {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(handle(), *k);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) const
    {
        QTest::keyClick(handle(), key, mods);
    }
    QModelIndex row(const QString& name) const
    {
        const auto* model = list()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, 0).data().toString() == name)
                return model->index(r, 0);
        }
        return {};
    }
    void click(const QString& name) const
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(row(name)).center());
    }
    void doubleClick(const QString& name) const
    {
        const QPoint at = list()->visualRect(row(name)).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }
    // Puts the text in the editor and the caret at its end, as the user would find it.
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
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,1"));
        QVERIFY(s.editor()->hasFocus());

        s.type("D");
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.list()->currentIndex().data().toString(), QStringLiteral("DUP"));
        QCOMPARE(s.addr(), QStringLiteral("03188"));
        QCOMPARE(s.description(), QStringLiteral("( ob -> ob ob )\nDuplicates level 1."));

        s.type("U"); // pressed in the list, written into the editor, released in the editor
        QCOMPARE(s.text(), std::string("::\r\nDU\r\n;\r\n@\r\n"));
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,3"));

        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("::\r\nDUP\r\n;\r\n@\r\n"));
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.buffer().selStart(), 7);
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,4"));
        QCOMPARE(s.usage("DUP"), 10);
        QCOMPARE(s.window->typingLoop().lastkey(), 13);
        QVERIFY(s.window->typingLoop().indentarmed());

        // The insertion is one step of undo.
        s.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.text(), std::string("::\r\nDU\r\n;\r\n@\r\n"));
        QCOMPARE(s.usage("DUP"), 10); // undo takes back the text, not the count
    }

    void lowerCaseAndWholeSpanAfterTheCaretAreReplaced()
    {
        Session s;
        s.start("x dUP");
        s.buffer().setSelStart(3); // after "d"
        s.key(Qt::Key_Right);      // lookup without moving the focus: caret after "dU"
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.list()->currentIndex().data().toString(), QStringLiteral("DUP"));
        QCOMPARE(s.window->typingLoop().wordSpan(), (WordSpan{3, 5}));
        s.click(QStringLiteral("SWAP"));
        QCOMPARE(s.addr(), QStringLiteral("03223"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("x SWAP"));
        QCOMPARE(s.usage("SWAP"), 8);
    }

    void aMissClearsTheSelectionAndKeepsTheFocus()
    {
        Session s;
        s.start("");
        s.type("D");
        QVERIFY(s.list()->hasFocus());
        const QString shown = s.description();
        s.type("Q"); // written into the editor: "DQ" matches nothing
        QCOMPARE(s.text(), std::string("DQ"));
        QVERIFY(s.editor()->hasFocus());
        QVERIFY(s.list()->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(s.description(), shown);
        QVERIFY(s.window->entries().recordset().eof());

        s.key(Qt::Key_Return); // Enter in the editor with no entry: an ordinary line break
        QCOMPARE(s.text(), std::string("DQ\r\n"));
    }

    void guardedWordsAreNotLookedUp()
    {
        Session s;
        s.start("");
        s.type("*");
        QVERIFY(s.editor()->hasFocus());
        s.type("a"); // "*a" passes the guard; no entry begins with it
        QVERIFY(s.editor()->hasFocus());
        s.start("a'");
        s.key(Qt::Key_End);
        QCOMPARE(s.window->typingLoop().wordSpan(), (WordSpan{1, 2}));
        QVERIFY(s.editor()->hasFocus());
    }

    void spaceEmptiesTheSpanSoADoubleClickInsertsAtTheCaret()
    {
        Session s;
        s.start("");
        s.type("S");
        QVERIFY(s.list()->hasFocus());
        s.type(" ");
        QCOMPARE(s.text(), std::string("S "));
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.window->typingLoop().wordSpan(), (WordSpan{3, 2}));
        s.doubleClick(QStringLiteral("DROP"));
        QCOMPARE(s.text(), std::string("S DROP"));
        QCOMPARE(s.usage("DROP"), 6);
        QCOMPARE(s.description(), QStringLiteral("( ob -> )"));
    }

    void backspaceFromTheListDeletesTheCharacterBeforeTheCaret()
    {
        Session s;
        s.start("ab ");
        s.type("D");
        QVERIFY(s.list()->hasFocus());
        s.key(Qt::Key_Backspace);
        QCOMPARE(s.text(), std::string("ab "));
        QVERIFY(s.editor()->hasFocus());

        // At offset 0 nothing is deleted.
        s.buffer().setSelStart(0);
        s.list()->setFocus();
        s.key(Qt::Key_Backspace);
        QCOMPARE(s.text(), std::string("ab "));
        QVERIFY(s.editor()->hasFocus());
    }

    void enterAfterEnterInTheListBreaksTheLineTwiceIndented()
    {
        Session s;
        s.start("  x");
        s.key(Qt::Key_Return); // the editor breaks the line and indents it like the one above
        QCOMPARE(s.text(), std::string("  x\r\n  "));
        s.click(QStringLiteral("DUP")); // a click does not change lastkey
        QVERIFY(s.list()->hasFocus());
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("  x\r\n  \r\n    "));
        QCOMPARE(s.usage("DUP"), 9); // no entry inserted, no count
        QVERIFY(s.editor()->hasFocus());
    }

    void theAcceptingEnterDoesNotIndentTheNextOneDoes()
    {
        Session s;
        s.start("    ");
        s.type("D");
        s.key(Qt::Key_Return); // accepts DUP; its release in the editor does not indent
        QCOMPARE(s.text(), std::string("    DUP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    "));

        s.window->findChild<QAction*>(QStringLiteral("options2"))->trigger();
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    \r\n"));
    }

    void keyboardMovesInTheListChooseWhatEnterInserts()
    {
        Session s;
        s.start("");
        s.type("D");
        QCOMPARE(s.list()->currentIndex().data().toString(), QStringLiteral("DUP"));
        s.key(Qt::Key_Down);
        QCOMPARE(s.list()->currentIndex().data().toString(), QStringLiteral("SWAP"));
        QCOMPARE(s.addr(), QStringLiteral("03223"));
        QCOMPARE(s.description(), QStringLiteral("( 1 2 -> 2 1 )"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("SWAP"));
        QCOMPARE(s.usage("SWAP"), 8);
    }

    void controlKeysInTheListAreNotWrittenIntoTheText()
    {
        Session s;
        s.start("");
        s.type("D");
        QVERIFY(s.list()->hasFocus());
        s.key(Qt::Key_Escape);
        QCOMPARE(s.text(), std::string("D"));
        QVERIFY(s.editor()->hasFocus());

        s.type("U");
        QCOMPARE(s.text(), std::string("DU"));
        QVERIFY(s.list()->hasFocus());
        s.key(Qt::Key_Z, Qt::ControlModifier); // undo reaches the editor from the list
        QCOMPARE(s.text(), std::string(""));    // the typed word was one step of undo
        s.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(s.text(), std::string("DU"));
    }

    void beepMarksAMatchOnlyWhenTheOptionIsOn()
    {
        Session s;
        s.start("");
        s.type("D");
        QCOMPARE(s.log->beeps, 0);
        s.window->findChild<QAction*>(QStringLiteral("options1"))->trigger();
        s.key(Qt::Key_Escape);
        s.type("U");
        QCOMPARE(s.log->beeps, 1);
        s.key(Qt::Key_Escape);
        s.type("Q");
        QCOMPARE(s.log->beeps, 1); // a miss does not beep
    }

    void aCountThatCannotBeWrittenStillInsertsAndSaysSoOnce()
    {
        fixtures::Unprivileged asUser; // so that the file's permissions bind even for root
        Session s([](const std::string& path) { chmod(path.c_str(), 0444); });
        QCOMPARE(int(s.log->messages.size()), 1); // read-only, said at start
        s.start("");
        s.type("D");
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("DUP"));
        s.type(" S");
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("DUP SWAP"));
        QCOMPARE(int(s.log->messages.size()), 2); // told once per session
        QVERIFY(s.log->messages[1].text.contains(QString::fromStdString(s.database)));
        QCOMPARE(fieldInteger(s.window->entries().recordset().field("usg")), 7);
    }

    void mouseClickInTheEditorLooksUpWithoutMovingTheFocus()
    {
        Session s;
        s.start("SWAP DROP");
        s.buffer().setSelStart(1);
        QTest::mouseClick(s.editor()->viewport(), Qt::LeftButton, {}, s.editor()->cursorRect().center());
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.list()->currentIndex().data().toString(), QStringLiteral("SWAP"));
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,2"));
    }
};

QTEST_MAIN(TypingLoopTest)
#include "typing_loop_test.moc"
