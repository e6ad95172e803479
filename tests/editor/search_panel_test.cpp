// What the search frame adds to the search rules: its keys, the focus, the messages and
// Replace All as one undo step written back through the editor's selection.
#include "editor/editor_buffer.h"
#include "editor/search_panel.h"
#include "editor/source_editor.h"
#include "support/recording_prompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace scrivlet;

namespace {

struct Harness {
    std::shared_ptr<fixtures::PromptLog> log = std::make_shared<fixtures::PromptLog>();
    fixtures::RecordingPrompts prompts{log};
    QWidget window;
    SourceEditor* editor = new SourceEditor(&window);
    EditorBuffer buffer{*editor};
    SearchPanel* panel = new SearchPanel(buffer, prompts, &window);
    QLineEdit* sr = panel->findChild<QLineEdit*>("sr");

    // The frame shown with the focus in the search box.
    Harness(std::string_view text, std::int64_t caret, const QString& term,
            const QString& replacement = {})
    {
        (new QVBoxLayout(&window))->addWidget(editor);
        buffer.setText(text);
        buffer.setSelStart(caret);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("window not active");
        panel->showFrame();
        sr->setText(term);
        panel->findChild<QLineEdit*>("rp")->setText(replacement);
    }
    void click(const char* button) { panel->findChild<QPushButton*>(button)->click(); }
    // One message, with this title and icon, that names `part` (the term, the count...).
    void expectMessage(const char* title, const QString& part, UserPrompts::Icon icon) const
    {
        QCOMPARE(log->messages.size(), std::size_t{1});
        QCOMPARE(log->messages[0].title, QString::fromLatin1(title));
        QVERIFY2(log->messages[0].text.contains(part), qPrintable(log->messages[0].text));
        QCOMPARE(log->messages[0].icon, icon);
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

    void enterAndF3ReleasedInTheSearchBoxSearch()
    {
        for (const auto& [key, searches] : {std::pair{Qt::Key_Return, true},
                                            {Qt::Key_Enter, true},
                                            {Qt::Key_F3, true},
                                            {Qt::Key_F4, false}}) {
            Harness h("abcabc", 0, QStringLiteral("abc"));
            QKeyEvent held(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(h.sr, &held); // a held key searches once, at its end
            QCOMPARE(h.buffer.selStart(), 0);
            QTest::keyClick(h.window.windowHandle(), key);
            QCOMPARE(h.buffer.selStart(), searches ? 3 : 0);
            QCOMPARE(h.editor->hasFocus(), searches);
        }
    }

    void notFoundSaysSoAndKeepsTheSelectionAndFocus()
    {
        Harness h("abc abc", 1, QString::fromUtf8("b\u2192"));
        h.buffer.setSelLength(2);
        h.click("Command5");
        h.expectMessage("Vantor Scrivlet Search", QString::fromUtf8("\nb\u2192\n"),
                        UserPrompts::Icon::Warning);
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
        h.expectMessage("Vantor Scrivlet Replace", QStringLiteral(": 3\n"),
                        UserPrompts::Icon::Information);
        h.editor->undo();
        QCOMPARE(h.buffer.text(), text);
        QVERIFY(!h.editor->isUndoAvailable());
    }

    void replaceAllThatCannotFinishChangesNothing()
    {
        const std::pair<QString, QString> cases[] = {
            {QString(), QStringLiteral("no search term")},
            {QStringLiteral("ab"), QStringLiteral("1000003")}, // every replacement forms another
        };
        for (const auto& [term, message] : cases) {
            Harness h("aab", 1, term, QStringLiteral("bbaa"));
            h.click("Command6");
            QCOMPARE(h.buffer.text(), std::string("aab"));
            QCOMPARE(h.buffer.selStart(), 1);
            QVERIFY(!h.editor->isUndoAvailable());
            h.expectMessage("Vantor Scrivlet Replace", message, UserPrompts::Icon::Warning);
        }
    }
};

QTEST_MAIN(SearchPanelTest)
#include "search_panel_test.moc"
