// What the search frame adds to the search rules: its keys, the focus, the messages and
// Replace All as one undo step written back through the editor's selection.
#include "editor/editor_buffer.h"
#include "editor/search_panel.h"
#include "support/recording_prompts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace scrivlet;

namespace {

struct Harness {
    std::shared_ptr<fixtures::PromptLog> log = std::make_shared<fixtures::PromptLog>();
    fixtures::RecordingPrompts prompts{log};
    QWidget window;
    QPlainTextEdit* editor = new QPlainTextEdit(&window);
    EditorBuffer buffer{*editor};
    SearchPanel* panel = new SearchPanel(buffer, prompts, &window);
    QLineEdit* sr = panel->findChild<QLineEdit*>(QStringLiteral("sr"));
    QLineEdit* rp = panel->findChild<QLineEdit*>(QStringLiteral("rp"));

    Harness(std::string_view text, std::int64_t caret, const QString& term,
            const QString& replacement = {})
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(panel);
        layout->addWidget(editor);
        buffer.setText(text);
        buffer.setSelStart(caret);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("window not active");
        panel->showFrame();
        sr->setText(term);
        rp->setText(replacement);
    }
    void key(Qt::Key key) { QTest::keyClick(window.windowHandle(), key); }
    void click(const char* button)
    {
        panel->findChild<QPushButton*>(QLatin1String(button))->click();
    }
    QString message() const
    {
        return log->messages.empty() ? QString() : log->messages.back().text;
    }
};

} // namespace

class SearchPanelTest : public QObject {
    Q_OBJECT

  private slots:
    void f3ShowsTheFrameFirstAndSearchesOnceItIsShown()
    {
        Harness h("abcabc", 0, QStringLiteral("abc"));
        h.click("Command7");
        QVERIFY(h.panel->isHidden());
        QVERIFY(h.editor->hasFocus());
        h.panel->f3();
        QVERIFY(h.sr->hasFocus());
        QCOMPARE(h.buffer.selStart(), 0);
        h.panel->f3();
        QCOMPARE(h.buffer.selStart(), 3);
        QCOMPARE(h.buffer.selLength(), 3);
        QVERIFY(h.editor->hasFocus());
        QVERIFY(h.log->messages.empty());
    }

    void enterAndF3ReleasedInTheSearchBoxSearch_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("searches");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("F3") << int(Qt::Key_F3) << true;
        QTest::newRow("F4") << int(Qt::Key_F4) << false;
    }

    void enterAndF3ReleasedInTheSearchBoxSearch()
    {
        QFETCH(int, key);
        QFETCH(bool, searches);
        Harness h("abcabc", 0, QStringLiteral("abc"));
        h.key(Qt::Key(key));
        QCOMPARE(h.buffer.selStart(), searches ? 3 : 0);
        QCOMPARE(h.editor->hasFocus(), searches);
        h.rp->setFocus(); // the replacement box has no keys
        h.key(Qt::Key_F3);
        QCOMPARE(h.buffer.selStart(), searches ? 3 : 0);
        QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F3, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(h.sr, &repeated); // a held key searches once, at its end
        QCOMPARE(h.buffer.selStart(), searches ? 3 : 0);
    }

    void notFoundSaysSoAndKeepsTheSelectionAndFocus()
    {
        Harness h("abc abc", 1, QString::fromUtf8("b\u2192"));
        h.buffer.setSelLength(2);
        h.click("Command5");
        QCOMPARE(h.log->messages.size(), std::size_t{1});
        QCOMPARE(h.log->messages[0].title, QStringLiteral("Vantor Scrivlet Search"));
        QCOMPARE(h.message(), QString::fromUtf8("Search term :\nb\u2192\nwas not found !"));
        QCOMPARE(h.log->messages[0].icon, UserPrompts::Icon::Warning);
        QCOMPARE(h.buffer.selStart(), 1);
        QCOMPARE(h.buffer.selLength(), 2);
        QVERIFY(h.sr->hasFocus());
    }

    void replaceAllIsOneUndoStepAcrossLineBreakHalves()
    {
        const std::string text = "one\r\ntwo\ntwo\r\none";
        Harness h(text, 0, QString(QChar(0x240A)), QStringLiteral("-"));
        h.click("Command6");
        QCOMPARE(h.buffer.text(), std::string("one\r-two-two\r-one"));
        QCOMPARE(h.buffer.selStart(), 14);
        QVERIFY(h.editor->hasFocus());
        QCOMPARE(h.log->messages.size(), std::size_t{1});
        QCOMPARE(h.log->messages[0].title, QStringLiteral("Vantor Scrivlet Replace"));
        QCOMPARE(h.message(), QStringLiteral("Found and replaced : 3\noccurances."));
        QCOMPARE(h.log->messages[0].icon, UserPrompts::Icon::Information);
        h.editor->undo();
        QCOMPARE(h.buffer.text(), text);
        QVERIFY(!h.editor->document()->isUndoAvailable());
    }

    void replaceAllThatCannotFinishChangesNothing_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty term") << QString() << "x"
                                    << "There is no search term:\nnothing was replaced.";
        QTest::newRow("endless")
            << "ab"
            << "bbaa"
            << "Replace All stopped after 1000003 replacements:\nevery replacement "
               "formed a new occurrence.\nThe text was not changed.";
    }

    void replaceAllThatCannotFinishChangesNothing()
    {
        QFETCH(QString, term);
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        Harness h("aab", 1, term, replacement);
        h.click("Command6");
        QCOMPARE(h.buffer.text(), std::string("aab"));
        QCOMPARE(h.buffer.selStart(), 1);
        QVERIFY(!h.editor->document()->isUndoAvailable());
        QCOMPARE(h.message(), message);
        QCOMPARE(h.log->messages.back().icon, UserPrompts::Icon::Warning);
    }
};

QTEST_MAIN(SearchPanelTest)
#include "search_panel_test.moc"
