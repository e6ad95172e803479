// The typing loop driven as a person drives it: keys sent to the window, so each release lands
// wherever the focus is at that moment.
#include "app/typing_loop.h"
#include "editor/editor_buffer.h"
#include "editor/proposal_at_caret.h"
#include "editor/source_editor.h"
#include "support/unprivileged.h"
#include "support/window_session.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <sys/stat.h>

using namespace scrivlet;

namespace {

struct Session : fixtures::WindowSession {
    // With content, the editor holds it and the caret stands at its end.
    explicit Session(const char* content = nullptr, const Prepare& prepare = withSampleEntries)
        : WindowSession(prepare)
    {
        if (!showActive())
            qWarning("the main window did not become active");
        if (content) {
            buffer().setText(content);
            buffer().setSelStart(std::ssize(std::string_view(content)));
        }
    }
    SourceEditor* editor() const { return child<SourceEditor>("text"); }
    QListView* list() const { return child<QListView>("entry"); }
    QString current() const { return list()->currentIndex().data().toString(); }
    QString description() const { return child<QLabel>("description")->text(); }
    EditorBuffer& buffer() const { return window->buffer(); }
    std::string text() const { return buffer().text(); }
    std::int64_t usage(const char* name) const
    {
        return fixtures::usageInFile(dir.file("entries97.mdb"), name);
    }
    void type(const char* keys) const
    {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(window->windowHandle(), *k);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = {}) const
    {
        QTest::keyClick(window->windowHandle(), key, mods);
    }
    void option(const char* name) const { window->findChild<QAction*>(name)->trigger(); }
    QPoint at(const QString& name) const
    {
        const auto* model = list()->model();
        const auto rows =
            model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        return list()->visualRect(rows.value(0)).center();
    }
    void click(const QString& name) const
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at(name));
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
        s.type("D");
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("DUP"));
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
        s.editor()->undo(); // one step; it takes back the text, not the count
        QCOMPARE(s.text(), std::string("::\r\nDU\r\n;\r\n@\r\n"));
        QCOMPARE(s.usage("DUP"), 10);
    }

    void arrowsAndClicksLookUpWithoutMovingTheFocus()
    {
        Session s("x dUP");
        s.buffer().setSelStart(3);
        s.key(Qt::Key_Right);
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("DUP"));
        QCOMPARE(s.window->typingLoop().wordSpan(), (WordSpan{3, 5}));
        s.click(QStringLiteral("SWAP"));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03223"));
        s.key(Qt::Key_Return); // the whole span, also after the caret, is replaced
        QCOMPARE(s.text(), std::string("x SWAP"));
        QCOMPARE(s.usage("SWAP"), 8);
        s.buffer().setText("DROP");
        s.buffer().setSelStart(2);
        QTest::mouseClick(s.editor()->viewport(), Qt::LeftButton, {},
                          s.editor()->cursorRect().center());
        QVERIFY(s.editor()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("DROP"));
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,3"));
    }

    void aMissKeepsTheFocusAndSpaceLetsAnEntryInAtTheCaret()
    {
        Session s("");
        s.type("DQ");
        QVERIFY(s.editor()->hasFocus());
        QVERIFY(s.list()->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(s.description(), QString()); // nothing current, nothing described
        QCOMPARE(s.child<QLabel>("addr")->text(), QString());
        s.type(" S ");
        QCOMPARE(s.window->typingLoop().wordSpan(), (WordSpan{6, 5}));
        s.click(QStringLiteral("DROP"));
        QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, {}, s.at(QStringLiteral("DROP")));
        QCOMPARE(s.text(), std::string("DQ S DROP"));
        QCOMPARE(s.usage("DROP"), 6);
    }

    void backspaceFromTheListDeletesWhatTheEditorWould()
    {
        Session s("ab\r\n");
        s.type("D");
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
        Session s("    ");
        s.type("D");
        s.key(Qt::Key_Return); // accepts DUP; its release in the editor does not indent
        QCOMPARE(s.text(), std::string("    DUP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    "));
        // A click leaves lastkey: Enter in the list breaks the line, its release indents again.
        s.click(QStringLiteral("SWAP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    \r\n        "));
        QCOMPARE(s.usage("SWAP"), 7);
        s.editor()->undo();
        QCOMPARE(s.text(), std::string("    DUP\r\n    "));
        s.editor()->undo();
        QCOMPARE(s.text(), std::string("    DUP"));
        s.option("options2");
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n"));
    }

    void aReleaseWhosePressWentElsewhereDoesNothing()
    {
        Session s("    DUP\r\n    ");
        // Enter pressed in a dialog (Save As), released after it closed: the editor does not
        // indent again, nor look up.
        QTest::keyRelease(s.window->windowHandle(), Qt::Key_Return);
        QCOMPARE(s.text(), std::string("    DUP\r\n    "));
        QTest::keyRelease(s.window->windowHandle(), Qt::Key_D);
        QVERIFY(s.editor()->hasFocus());
        s.key(Qt::Key_Return); // a whole key still indents
        QCOMPARE(s.text(), std::string("    DUP\r\n    \r\n    "));
    }

    void aWholeNameIsItselfAndTheLanguagesOwnWordsProposeNothing()
    {
        Session s("", [](const fixtures::TempDir& dir) {
            fixtures::writeEntryDatabase(dir.file("entries97.mdb"),
                                         {{"CK1NOLASTWD", "18A1E", "", 9},
                                          {"CK1", "18A15", "", 2},
                                          {"::N", "05445", "", 5},
                                          {"lam", "00004", "", 4},
                                          {"%1", "2FB1C", "( -> %1 )", 3}});
        });
        s.type("CK1");
        s.key(Qt::Key_Return); // the name typed, not the more used one it begins
        QCOMPARE(s.text(), std::string("CK1"));
        QCOMPARE(s.usage("CK1"), 3);
        s.type(" ::");
        QVERIFY(s.editor()->hasFocus());
        s.key(Qt::Key_Return); // a body opened, not ::N inserted
        QCOMPARE(s.text(), std::string("CK1 ::\r\n"));
        s.type("LAM");
        QVERIFY(s.editor()->hasFocus() && !s.list()->selectionModel()->hasSelection());
        s.type(" %1"); // looked up as it stands
        QCOMPARE(s.current(), QStringLiteral("%1"));
        QCOMPARE(s.description(), QStringLiteral("( -> %1 )"));
    }

    void thePanelAndTheReadOutShowWhatIsOnScreen()
    {
        Session s("");
        const auto shows = [&](const char* name, const char* addr, const char* description) {
            QCOMPARE(s.current(), QString::fromLatin1(name));
            QVERIFY(s.list()->selectionModel()->isSelected(s.list()->currentIndex()));
            QCOMPARE(s.child<QLabel>("addr")->text(), QString::fromLatin1(addr));
            QCOMPARE(s.description(), QString::fromLatin1(description));
        };
        shows("DUP", "03188", "( ob -> ob ob )\nDuplicates level 1."); // at start-up
        s.type("SW");
        s.child<QPushButton>("Command3")->click(); // by address
        shows("a*b", "00001", "star");

        // The read-out follows the caret: an opened file, a search hit, a command-line file.
        fixtures::writeFile(s.dir.file("c.rpl"), "::\n  DUP\n;");
        s.buffer().setModified(false);
        s.log->openAnswers.push_back(QString::fromStdString(s.dir.file("c.rpl")));
        s.option("file2");
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,1"));
        s.child<QLineEdit>("sr")->setText(QStringLiteral("DUP"));
        s.child<QPushButton>("Command5")->click();
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,3"));
        s.start(QString::fromStdString(s.dir.file("c.rpl")));
        QVERIFY(s.showActive());
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,1"));
    }

    void escClosingAMenuGivesTheFocusBack()
    {
        Session s("");
        s.type("Q");
        QMenuBar* bar = s.window->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY(s.showActive()); // what the desktop does when a popup closes; offscreen does not
        QTRY_VERIFY(s.editor()->hasFocus());
        s.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.text(), std::string(""));
    }

    void keysInTheListMoveItOrGoBackToTheEditor()
    {
        Session s("");
        s.option("options1");
        s.type("D");
        s.key(Qt::Key_Down);
        QCOMPARE(s.current(), QStringLiteral("SWAP"));
        QCOMPARE(s.description(), QStringLiteral("( 1 2 -> 2 1 )"));
        s.key(Qt::Key_Escape); // not written; its release does not look up again
        QCOMPARE(s.text(), std::string("D"));
        QVERIFY(s.editor()->hasFocus());
        s.type("U");
        QVERIFY(s.list()->hasFocus());
        s.key(Qt::Key_Z, Qt::ControlModifier); // handed to the editor: the typed word is one step
        QCOMPARE(s.text(), std::string(""));
        s.type("Q");
        QCOMPARE(s.log->beeps, 2); // D and DU matched; a miss does not beep
    }

    void aCountThatCannotBeWrittenStillInsertsAndSaysSoOnce()
    {
        fixtures::Unprivileged asUser; // so that the file's permissions bind even for root
        Session s("", [](const fixtures::TempDir& dir) {
            fixtures::WindowSession::withSampleEntries(dir);
            chmod(dir.file("entries97.mdb").c_str(), 0444);
        });
        s.type("D");
        s.key(Qt::Key_Return);
        s.type(" S");
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("DUP SWAP"));
        QCOMPARE(int(s.log->messages.size()), 2); // read-only at the start, then once
        QVERIFY(
            s.log->messages[1].text.contains(QString::fromStdString(s.dir.file("entries97.mdb"))));
        QCOMPARE(s.usage("SWAP"), 7);
    }

    void anEntryAnotherProgramDeletedIsInsertedAndToldOnceByName()
    {
        Session s("");
        const QString file = QString::fromStdString(s.dir.file("entries97.mdb"));
        SqliteDatabase(file.toStdString(), SqliteDatabase::OpenMode::ExistingOnly)
            .exec("DELETE FROM entries WHERE name = 'DUP'");
        for (const char* keys : {"D", " S", " D"}) {
            s.type(keys);
            s.key(Qt::Key_Return);
        }
        QCOMPARE(s.text(), std::string("DUP SWAP DUP"));
        QCOMPARE(s.usage("SWAP"), 8);
        QCOMPARE(int(s.log->messages.size()), 1);
        QCOMPARE(s.log->messages[0].text, "The entry DUP is no longer in the entry database " +
                                              file + "; its use was not counted.");
        QVERIFY(!s.window->findChild<QAction*>("usesWaiting")->isVisible());
    }

    // The option moves only the selection, to the name the text uses most; the order of the
    // list, the focus, Enter and the count stay as they are. New texts are counted afresh.
    void namesInThisFileFirstProposesTheNameTheTextUsesMost()
    {
        Session s("DUPDUP x DUPDUP\r\n");
        s.type("D");
        QCOMPARE(s.current(), QStringLiteral("DUP"));
        s.option("NamesInFileFirst");
        QCoreApplication::processEvents(); // the counting of the text already there
        s.type("U");
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("DUPDUP"));
        QCOMPARE(s.description(), QStringLiteral("( ob -> ob ob ob )"));
        QCOMPARE(s.list()->model()->index(0, 0).data().toString(), QStringLiteral("DUP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("DUPDUP x DUPDUP\r\nDUPDUP"));
        QCOMPARE(s.usage("DUPDUP"), 6);

        s.buffer().setText("DROP dup dup\r\n"); // dup is no use of DUP
        s.buffer().setSelStart(14);
        s.type("d");
        QCOMPARE(s.current(), QStringLiteral("DROP"));
        s.option("NamesInFileFirst");
        s.key(Qt::Key_Backspace);
        s.type("D");
        QCOMPARE(s.current(), QStringLiteral("DUP"));
    }

    // Enter counts the name with the word before it in the database at once; with Names in
    // This File First the name that followed the previous word is proposed before the one the
    // text holds more often (DUP twice), and the Tab before it ends the previous word.
    void theNameThatFollowedThePreviousWordIsProposed()
    {
        Session s("SWAP DUP DUP\r\nSWAP");
        s.option("NamesInFileFirst");
        s.type(" DR");
        s.key(Qt::Key_Return);
        SqliteDatabase db(s.dir.file("entries97.mdb"), SqliteDatabase::OpenMode::ReadOnly);
        auto pair = db.prepare("SELECT previous || ' ' || next || ' ' || uses FROM entry_pairs");
        QVERIFY(pair.step());
        QCOMPARE(pair.text(0), std::string("SWAP DROP 1"));
        s.type(" SWAP");
        s.key(Qt::Key_Return); // writes SWAP
        s.key(Qt::Key_Return); // a new line
        s.type("\tD");
        QCOMPARE(s.current(), QStringLiteral("DROP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("SWAP DUP DUP\r\nSWAP DROP SWAP\r\n\tDROP"));
    }

    // The rest of the proposed name is shown after the caret at the end of a line and only
    // there; it is no part of the text or the read-out, and goes with the next change or move,
    // or with the option.
    void theRestOfTheProposalIsShownAfterTheCaret()
    {
        Session s("SWAP\r\n");
        const auto* proposal = s.window->findChild<ProposalAtCaret*>();
        s.type("du");
        QCOMPARE(proposal->shown(), std::string("P"));
        QCOMPARE(s.text(), std::string("SWAP\r\ndu"));
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,3"));
        s.key(Qt::Key_Down); // another entry in the list
        QCOMPARE(proposal->shown(), std::string());
        s.key(Qt::Key_Escape);
        s.buffer().setSelStart(6);
        s.type("p");
        QCOMPARE(proposal->shown(), std::string()); // "dpu": no name, and not at the line's end
        s.option("ShowProposalAtCaret");
        s.buffer().setSelStart(9);
        s.type(" S");
        QCOMPARE(s.current(), QStringLiteral("SWAP"));
        QCOMPARE(proposal->shown(), std::string());
    }

    // A name typed after a Tab is proposed, as after a space, and Enter keeps the Tab; with
    // Tab Ends a Word unchecked the Tab is part of the word and nothing is proposed.
    void tabEndsAWordUnlessTheOptionIsUnchecked()
    {
        Session s("");
        s.type("\tS");
        QVERIFY(s.list()->hasFocus());
        QCOMPARE(s.current(), QStringLiteral("SWAP"));
        s.key(Qt::Key_Return);
        QCOMPARE(s.text(), std::string("\tSWAP"));
        s.option("TabEndsWord");
        s.type(" \tD");
        QVERIFY(!s.list()->hasFocus());
    }
};

QTEST_MAIN(TypingLoopTest)
#include "typing_loop_test.moc"
