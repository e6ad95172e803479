// The editor's RPL view in the window: what it marks, where it jumps, what its tips say, and
// that it changes nothing else: bytes, undo steps and the caret read-out are those of the
// window without it.
#include "editor/editor_buffer.h"
#include "editor/rpl_navigation.h"
#include "editor/source_editor.h"
#include "support/window_session.h"

#include <QAction>
#include <QScrollBar>
#include <QToolTip>

using namespace scrivlet;

namespace {

struct Session : fixtures::WindowSession {
    Session()
        : WindowSession([](const fixtures::TempDir& dir) {
              auto entries = fixtures::sampleEntries();
              entries.push_back({"::N", "1A2B3", "( -> )"});
              entries.push_back({"xDUP", "1F0E0", "( ob -> ob ob )%0A%0ADuplicates.%0Aa%0Ab"});
              entries.push_back({"LONG", "00005",
                                 std::string(100, 'x') + " " + std::string(30, 'y') + " " +
                                     std::string(130, 'z')});
              fixtures::writeEntryDatabase(dir.file("entries97.mdb"), entries);
          })
    {
        // Keys sent to an inactive window reach nobody, and every comparison below would hold.
        QVERIFY2(showActive(), "the main window did not become active");
    }
    SourceEditor& editor() const { return *child<SourceEditor>("text"); }
    RplNavigation& rpl() const { return *editor().findChild<RplNavigation*>(); }
    void load(const char* text, std::int64_t caret) const
    {
        window->buffer().setText(text);
        window->buffer().setSelStart(caret);
        QTRY_VERIFY(rpl().namesComplete());
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = {}) const
    {
        QTest::keyClick(window->windowHandle(), key, mods);
    }
    QPoint at(std::int64_t offset) const { return editor().rectForOffset(offset).center(); }
    std::vector<std::pair<std::int64_t, std::int64_t>> marked() const
    {
        std::vector<std::pair<std::int64_t, std::int64_t>> out;
        for (const TextMark& mark : rpl().pairMarks())
            out.emplace_back(mark.from, mark.to);
        return out;
    }
    std::vector<int> styles(std::string_view line) const
    {
        std::vector<StyleSpan> spans;
        rpl().highlighter().highlight(line, rpl().highlighter().initialState(), spans);
        std::vector<int> out;
        for (const StyleSpan& span : spans)
            out.push_back(span.style);
        return out;
    }
};

using Marks = std::vector<std::pair<std::int64_t, std::int64_t>>;

} // namespace

class RplViewTest : public QObject {
    Q_OBJECT

  private slots:
    void typingAndUndoAreAsWithoutColours()
    {
        const auto session = [](bool colours) {
            Session s;
            if (!colours)
                delete &s.rpl();
            QStringList seen;
            for (const char c : std::string(":: \"a ( DUP\r;\bxNAME F\r( x )"))
                QTest::keyClick(s.window->windowHandle(), c);
            seen << QString::fromStdString(s.window->buffer().text());
            for (int undo = 0; undo < 4; ++undo)
                s.key(Qt::Key_Z, Qt::ControlModifier);
            s.key(Qt::Key_Y, Qt::ControlModifier);
            seen << QString::fromStdString(s.window->buffer().text())
                 << s.window->positionReadout();
            return seen;
        };
        const QStringList on = session(true);
        QCOMPARE(on, session(false));
        QVERIFY2(on[0].contains(QStringLiteral("xNAME F")), "the typed keys reached the editor");
    }

    void pairsAreMarkedAndCtrlBracketJumpsBetweenThem()
    {
        Session s;
        s.load(":: DUP\r\n{ 1 }\r\n;\r\n}", 0);
        QCOMPARE(s.marked(), Marks({{0, 2}, {15, 16}}));
        const QColor matched = s.rpl().pairMarks()[0].style.background;
        s.key(Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(s.editor().caret(), 15);
        s.key(Qt::Key_BracketRight, Qt::ControlModifier); // back to ::, which an entry begins with
        QCOMPARE(s.editor().caret(), 0);
        QVERIFY(s.editor().hasFocus());
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,1"));
        s.key(Qt::Key_End, Qt::ControlModifier); // a closer without an opener
        QCOMPARE(s.marked(), Marks({{18, 19}}));
        QVERIFY(s.rpl().pairMarks()[0].style.background != matched);
    }

    void f12AndCtrlClickGoToTheDefinition()
    {
        Session s;
        s.load("NULLNAME DUPX\r\n:: DUPX DUP ;", 18);
        s.key(Qt::Key_F12); // DUPX begins the entry dupx, yet the focus stays in the text
        QCOMPARE(s.editor().caret(), 9);
        QVERIFY(s.editor().hasFocus());
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,10"));
        s.window->buffer().setSelStart(24);
        s.key(Qt::Key_F12); // DUP is no name of this text
        QCOMPARE(s.editor().caret(), 24);
        const QPoint onDupx = s.editor().rectForOffset(19).topLeft() + QPoint(1, 2);
        QTest::mouseClick(s.editor().viewport(), Qt::LeftButton, {}, onDupx);
        QCOMPARE(s.editor().caret(), 19);
        QTest::mouseClick(s.editor().viewport(), Qt::LeftButton, Qt::ControlModifier, onDupx);
        QCOMPARE(s.editor().caret(), 9);

        // A definition far away is shown with three lines of context above it.
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += i == 50 ? "NULLNAME FAR\r\n" : "DUP\r\n";
        text += "FAR";
        s.load(text.c_str(), std::ssize(text));
        s.key(Qt::Key_F12);
        QCOMPARE(s.editor().verticalScrollBar()->value(), 47);
    }

    void entriesShowTheirTips()
    {
        Session s;
        s.load(":: DUP ;", 0);
        QCOMPARE(s.rpl().tipAt(4),
                 QStringLiteral("DUP  03188\n( ob -> ob ob )\nDuplicates level 1."));
        QVERIFY(s.rpl().tipAt(1).isEmpty());
        QHelpEvent help(QEvent::ToolTip, s.at(4), s.editor().viewport()->mapToGlobal(s.at(4)));
        QApplication::sendEvent(s.editor().viewport(), &help);
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("03188")));
        s.load("\xAB DUP \xBB", 0); // User RPL: the command's entry
        QCOMPARE(s.rpl().tipAt(3),
                 QString::fromUtf8("xDUP  1F0E0\n( ob -> ob ob )\n\nDuplicates.\na\n…"));
        s.load(":: LONG ;", 0); // a long description is wrapped, not cut
        QCOMPARE(s.rpl().tipAt(4), QStringLiteral("LONG  00005\n") + QString(100, 'x') + '\n' +
                                       QString(30, 'y') + '\n' + QString(120, 'z') + '\n' +
                                       QString(10, 'z'));
    }

    void optionsShowLineNumbersAndMarkUnknownNames()
    {
        Session s;
        QVERIFY(s.editor().lineNumbersVisible());
        s.window->findChild<QAction*>("LineNumbers")->trigger();
        QVERIFY(!s.editor().lineNumbersVisible());
        using H = RplHighlighter;
        const std::vector<int> known = {H::Structure, H::BookName, H::Structure};
        QCOMPARE(s.styles(":: DUP FOO ;"), known);
        s.window->findChild<QAction*>("MarkUnknownNames")->trigger();
        QCOMPARE(s.styles(":: DUP FOO ;"),
                 std::vector<int>({H::Structure, H::BookName, H::UnknownName, H::Structure}));
        s.window->findChild<QAction*>("MarkUnknownNames")->trigger();
        QCOMPARE(s.styles(":: DUP FOO ;"), known);
    }
};

QTEST_MAIN(RplViewTest)
#include "rpl_view_test.moc"
