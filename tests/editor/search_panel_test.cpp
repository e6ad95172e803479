#include "editor/editor_buffer.h"
#include "editor/search_panel.h"
#include "editor/source_editor.h"
#include "support/recording_prompts.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>
#include <string>

using namespace scrivlet;
using scrivlet::fixtures::PromptLog;

Q_DECLARE_METATYPE(std::string)

namespace {

const QString kNotFoundTitle = QStringLiteral("Vantor Scrivlet Search");
const QString kReplaceTitle = QStringLiteral("Vantor Scrivlet Replace");

// A window with the editor and the search frame as the main window builds them: the frame
// hidden, its children under their object names.
struct Harness {
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    fixtures::RecordingPrompts prompts{log};
    QWidget window;
    SourceEditor* editor = new SourceEditor(&window);
    QGroupBox* frame = new QGroupBox(QStringLiteral("SEARCH for :"), &window);
    QLineEdit* sr = new QLineEdit(frame);
    QLineEdit* rp = new QLineEdit(frame);
    QPushButton* command5 = new QPushButton(QStringLiteral("Search F3"), frame);
    QPushButton* command6 = new QPushButton(QStringLiteral("Replace All"), frame);
    QPushButton* command7 = new QPushButton(QStringLiteral("Close"), frame);
    std::unique_ptr<EditorBuffer> buffer;
    std::unique_ptr<SearchPanel> panel;

    explicit Harness(std::string_view text = {})
    {
        editor->setObjectName(QStringLiteral("text"));
        frame->setObjectName(QStringLiteral("srepl"));
        sr->setObjectName(QStringLiteral("sr"));
        rp->setObjectName(QStringLiteral("rp"));
        command5->setObjectName(QStringLiteral("Command5"));
        command6->setObjectName(QStringLiteral("Command6"));
        command7->setObjectName(QStringLiteral("Command7"));
        auto* frameLayout = new QVBoxLayout(frame);
        for (QWidget* w : {static_cast<QWidget*>(sr), static_cast<QWidget*>(rp), static_cast<QWidget*>(command5),
                           static_cast<QWidget*>(command6), static_cast<QWidget*>(command7)})
            frameLayout->addWidget(w);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(frame);
        layout->addWidget(editor);
        frame->hide();

        buffer = std::make_unique<EditorBuffer>(*editor);
        buffer->setText(text);
        panel = std::make_unique<SearchPanel>(*frame, *buffer, prompts);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("window not active");
        editor->setFocus();
    }

    void caretAt(std::int64_t offset)
    {
        buffer->setSelStart(offset);
        buffer->setSelLength(0);
    }
    QString lastMessage() const { return log->messages.empty() ? QString() : log->messages.back().text; }
};

QString notFound(const QString& term)
{
    return QStringLiteral("Search term :\n") + term + QStringLiteral("\nwas not found !");
}

QString replaced(int count)
{
    return QStringLiteral("Found and replaced : ") + QString::number(count) + QStringLiteral("\noccurances.");
}

} // namespace

class SearchPanelTest : public QObject {
    Q_OBJECT

private slots:
    void editMenuShowsFrameAndFocusesSearchBox()
    {
        Harness h("abc");
        QVERIFY(!h.panel->frameShown());
        h.panel->showFrame();
        QVERIFY(h.frame->isVisible());
        QTRY_VERIFY(h.sr->hasFocus());
    }

    void f3WithFrameHiddenShowsItWithoutSearching()
    {
        Harness h("abcabc");
        h.sr->setText(QStringLiteral("abc"));
        h.caretAt(0);
        h.panel->f3();
        QVERIFY(h.frame->isVisible());
        QTRY_VERIFY(h.sr->hasFocus());
        QCOMPARE(h.buffer->selStart(), 0);
        QCOMPARE(h.buffer->selLength(), 0);
        QVERIFY(h.log->messages.empty());
    }

    void f3WithFrameShownSearches()
    {
        Harness h("abcabc");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("abc"));
        h.caretAt(0);
        h.panel->f3();
        QCOMPARE(h.buffer->selStart(), 3);
        QCOMPARE(h.buffer->selLength(), 3);
        QTRY_VERIFY(h.editor->hasFocus());
    }

    void searchNext_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<qint64>("caret");
        QTest::addColumn<QString>("term");
        QTest::addColumn<qint64>("found"); // -1: the not-found message

        QTest::newRow("occurrence at caret passed over") << std::string("abcabc") << qint64(0) << "abc" << qint64(3);
        QTest::newRow("from the selected occurrence") << std::string("abcabc") << qint64(3) << "abc" << qint64(-1);
        QTest::newRow("one after caret") << std::string("xabc") << qint64(0) << "abc" << qint64(1);
        QTest::newRow("caret at end") << std::string("abc") << qint64(3) << "c" << qint64(-1);
        QTest::newRow("case-sensitive") << std::string("abc") << qint64(0) << "ABC" << qint64(-1);
        QTest::newRow("empty term") << std::string("abc") << qint64(0) << "" << qint64(-1);
        QTest::newRow("offsets count CR LF") << std::string("::\r\n\r\n;\r\n@") << qint64(0) << "@" << qint64(9);
        QTest::newRow("code page byte") << std::string("x\x80y\xe9") << qint64(0) << QString::fromUtf8("\u00e9")
                                        << qint64(3);
        QTest::newRow("euro sign") << std::string("ab\x80") << qint64(0) << QString::fromUtf8("\u20ac") << qint64(2);
        QTest::newRow("character without a byte") << std::string("a?b") << qint64(0) << QString::fromUtf8("\u2192")
                                                  << qint64(-1);
    }

    void searchNext()
    {
        QFETCH(std::string, text);
        QFETCH(qint64, caret);
        QFETCH(QString, term);
        QFETCH(qint64, found);
        Harness h(text);
        h.panel->showFrame();
        h.sr->setText(term);
        h.caretAt(caret);
        QTRY_VERIFY(h.sr->hasFocus());

        h.panel->searchNext();

        if (found >= 0) {
            QCOMPARE(h.buffer->selStart(), found);
            QCOMPARE(h.buffer->selLength(), std::ssize(h.sr->text()));
            QTRY_VERIFY(h.editor->hasFocus());
            QVERIFY(h.log->messages.empty());
        } else {
            QCOMPARE(h.log->messages.size(), std::size_t{1});
            QCOMPARE(h.log->messages.back().title, kNotFoundTitle);
            QCOMPARE(h.log->messages.back().text, notFound(term));
            QCOMPARE(h.log->messages.back().icon, UserPrompts::Icon::Warning);
            QCOMPARE(h.buffer->selStart(), caret);
            QCOMPARE(h.buffer->selLength(), 0);
            QVERIFY(h.sr->hasFocus());
        }
        QCOMPARE(h.buffer->text(), text);
    }

    void notFoundKeepsSelectionAndFocus()
    {
        Harness h("abc abc");
        h.caretAt(1);
        h.buffer->setSelLength(2);
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("zz"));
        QTRY_VERIFY(h.sr->hasFocus());
        h.panel->searchNext();
        QCOMPARE(h.lastMessage(), notFound(QStringLiteral("zz")));
        QCOMPARE(h.buffer->selStart(), 1);
        QCOMPARE(h.buffer->selLength(), 2);
        QVERIFY(h.sr->hasFocus());
    }

    void repeatedSearchesStepThroughOccurrences()
    {
        Harness h("ab\r\nab\r\nab");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("ab"));
        h.caretAt(0);
        h.panel->searchNext();
        QCOMPARE(h.buffer->selStart(), 4);
        h.panel->searchNext();
        QCOMPARE(h.buffer->selStart(), 8);
        QCOMPARE(h.buffer->selText(), std::string("ab"));
        h.panel->searchNext();
        QCOMPARE(h.lastMessage(), notFound(QStringLiteral("ab")));
        QCOMPARE(h.buffer->selStart(), 8);
    }

    void searchFindsOccurrencesFarAndAcrossReadingPieces()
    {
        // Each search reads pieces of 64 KiB, 128 KiB, 256 KiB, ... from one byte after the
        // caret; the first three occurrences straddle the ends of such pieces.
        std::string text;
        while (text.size() < 400'000)
            text += std::string(78, '.') + "\r\n";
        const std::int64_t occurrences[] = {1 + 65'536 - 2, 65'536 + 65'536 - 1, 131'072 + 65'536 + 131'072 - 2,
                                            399'990};
        for (std::int64_t at : occurrences)
            text.replace(static_cast<std::size_t>(at), 3, "xyz");
        Harness h(text);
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("xyz"));
        h.caretAt(0);
        for (std::int64_t at : occurrences) {
            h.panel->searchNext();
            QCOMPARE(h.buffer->selStart(), at);
            QCOMPARE(h.buffer->selText(), std::string("xyz"));
        }
        h.panel->searchNext();
        QCOMPARE(h.lastMessage(), notFound(QStringLiteral("xyz")));
        QCOMPARE(h.log->messages.size(), std::size_t{1});
    }

    void searchPassesOverLineBreakHalves()
    {
        // Pasted stand-ins of a lone LF or CR find lone ones only: the caret cannot stand
        // inside a CR LF, so half of one cannot be selected.
        Harness h(std::string("a\r\nb\nc\rd"));
        h.panel->showFrame();
        h.caretAt(0);
        h.sr->setText(QString(QChar(0x240A)));
        h.panel->searchNext();
        QCOMPARE(h.buffer->selStart(), 4);
        QCOMPARE(h.buffer->selText(), std::string("\n"));
        h.caretAt(0);
        h.sr->setText(QString(QChar(0x240D)));
        h.panel->searchNext();
        QCOMPARE(h.buffer->selStart(), 6);
        QCOMPARE(h.buffer->selText(), std::string("\r"));
        QVERIFY(h.log->messages.empty());
    }

    void enterAndF3ReleasedInSearchBoxSearch_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("searches");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("F3") << int(Qt::Key_F3) << true;
        QTest::newRow("F4") << int(Qt::Key_F4) << false;
        QTest::newRow("Space") << int(Qt::Key_Space) << false;
    }

    void enterAndF3ReleasedInSearchBoxSearch()
    {
        QFETCH(int, key);
        QFETCH(bool, searches);
        Harness h("abcabc");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("abc"));
        h.caretAt(0);
        QTRY_VERIFY(h.sr->hasFocus());
        // Through the window, as a keyboard delivers it: the release goes to the focused box.
        QTest::keyClick(h.window.windowHandle(), Qt::Key(key));
        if (searches) {
            QCOMPARE(h.buffer->selStart(), 3);
            QCOMPARE(h.buffer->selLength(), 3);
            QTRY_VERIFY(h.editor->hasFocus());
        } else {
            QCOMPARE(h.buffer->selStart(), 0);
            QVERIFY(h.sr->hasFocus());
        }
        QVERIFY(h.log->messages.empty());
    }

    void autoRepeatedReleaseInSearchBoxDoesNothing()
    {
        Harness h("abcabc");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("abc"));
        h.caretAt(0);
        QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F3, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(h.sr, &repeated);
        QCOMPARE(h.buffer->selStart(), 0);
        QKeyEvent last(QEvent::KeyRelease, Qt::Key_F3, Qt::NoModifier, QString(), false);
        QCoreApplication::sendEvent(h.sr, &last);
        QCOMPARE(h.buffer->selStart(), 3);
    }

    void replacementBoxHasNoKeys()
    {
        Harness h("abcabc");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("abc"));
        h.caretAt(0);
        h.rp->setFocus();
        QTRY_VERIFY(h.rp->hasFocus());
        QTest::keyClick(h.window.windowHandle(), Qt::Key_Return);
        QTest::keyClick(h.window.windowHandle(), Qt::Key_F3);
        QCOMPARE(h.buffer->selStart(), 0);
        QCOMPARE(h.buffer->text(), std::string("abcabc"));
    }

    void buttonsSearchReplaceAndClose()
    {
        Harness h("a-a-a");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("a"));
        h.rp->setText(QStringLiteral("b"));
        h.caretAt(0);
        QTest::mouseClick(h.command5, Qt::LeftButton);
        QCOMPARE(h.buffer->selStart(), 2);
        QCOMPARE(h.buffer->selLength(), 1);

        QTest::mouseClick(h.command6, Qt::LeftButton);
        QCOMPARE(h.buffer->text(), std::string("a-b-b"));
        QCOMPARE(h.lastMessage(), replaced(2));

        QTest::mouseClick(h.command7, Qt::LeftButton);
        QVERIFY(!h.frame->isVisible());
        QVERIFY(!h.panel->frameShown());
        QTRY_VERIFY(h.editor->hasFocus());
    }

    void replaceAll_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<qint64>("caret");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<std::string>("expected");
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("caretAfter");

        QTest::newRow("all from start") << std::string("a-a-a") << qint64(0) << "a" << "b" << std::string("b-b-b") << 3 << qint64(5);
        QTest::newRow("caret before second") << std::string("a-a-a") << qint64(2) << "a" << "b" << std::string("a-b-b") << 2 << qint64(5);
        QTest::newRow("caret after second") << std::string("a-a-a") << qint64(3) << "a" << "b" << std::string("a-b-b") << 2 << qint64(5);
        QTest::newRow("formed occurrence") << std::string("aabb") << qint64(0) << "ab" << "b" << std::string("bb") << 2 << qint64(1);
        QTest::newRow("no occurrence") << std::string("abc") << qint64(1) << "x" << "y" << std::string("abc") << 0 << qint64(1);
        QTest::newRow("replacement holds term") << std::string("a-a") << qint64(0) << "a" << "aa" << std::string("aa-aa") << 2 << qint64(5);
        QTest::newRow("deletion") << std::string("x\r\ny\r\n") << qint64(0) << "y" << "" << std::string("x\r\n\r\n") << 1 << qint64(3);
        QTest::newRow("code page") << std::string("\xe9t\xe9") << qint64(0) << QString::fromUtf8("\u00e9") << QString::fromUtf8("\u20ac")
                                   << std::string("\x80t\x80") << 2 << qint64(3);
        QTest::newRow("LF of a line break") << std::string("a\r\nb") << qint64(0) << QString(QChar(0x240A)) << "x"
                                            << std::string("a\rxb") << 1 << qint64(3);
        QTest::newRow("CR of a line break") << std::string("a\r\nb") << qint64(0) << QString(QChar(0x240D)) << "y"
                                            << std::string("ay\nb") << 1 << qint64(2);
        QTest::newRow("replacement without a byte") << std::string("abc") << qint64(0) << "b" << QString::fromUtf8("\u2192")
                                                    << std::string("a?c") << 1 << qint64(2);
        QTest::newRow("term without a byte") << std::string("a?b") << qint64(0) << QString::fromUtf8("\u2192") << "x"
                                             << std::string("a?b") << 0 << qint64(0);
        QTest::newRow("lone LF kept") << std::string("a\nb\r\nab") << qint64(0) << "b" << "c" << std::string("a\nc\r\nac") << 2 << qint64(7);
    }

    void replaceAll()
    {
        QFETCH(std::string, text);
        QFETCH(qint64, caret);
        QFETCH(QString, term);
        QFETCH(QString, replacement);
        QFETCH(std::string, expected);
        QFETCH(int, count);
        QFETCH(qint64, caretAfter);
        Harness h(text);
        h.panel->showFrame();
        h.sr->setText(term);
        h.rp->setText(replacement);
        h.caretAt(caret);

        h.panel->replaceAll();

        QCOMPARE(h.buffer->text(), expected);
        QCOMPARE(h.buffer->selStart(), caretAfter);
        QCOMPARE(h.buffer->selLength(), 0);
        QTRY_VERIFY(h.editor->hasFocus());
        QCOMPARE(h.log->messages.size(), std::size_t{1});
        QCOMPARE(h.log->messages.back().title, kReplaceTitle);
        QCOMPARE(h.log->messages.back().text, replaced(count));
        QCOMPARE(h.log->messages.back().icon, UserPrompts::Icon::Information);
        QCOMPARE(h.editor->isUndoAvailable(), count > 0);
    }

    void replaceAllIsOneUndoStep()
    {
        const std::string text = "one two one\r\ntwo one";
        Harness h(text);
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("one"));
        h.rp->setText(QStringLiteral("1"));
        h.caretAt(0);
        QVERIFY(!h.editor->isUndoAvailable());
        h.panel->replaceAll();
        QCOMPARE(h.buffer->text(), std::string("1 two 1\r\ntwo 1"));
        h.editor->undo();
        QCOMPARE(h.buffer->text(), text);
        QVERIFY(!h.editor->isUndoAvailable());
        h.editor->redo();
        QCOMPARE(h.buffer->text(), std::string("1 two 1\r\ntwo 1"));
    }

    void emptyTermIsRefused()
    {
        Harness h("abc");
        h.panel->showFrame();
        h.rp->setText(QStringLiteral("x"));
        h.caretAt(1);
        h.panel->replaceAll();
        QCOMPARE(h.buffer->text(), std::string("abc"));
        QCOMPARE(h.buffer->selStart(), 1);
        QVERIFY(!h.editor->isUndoAvailable());
        QCOMPARE(h.log->messages.size(), std::size_t{1});
        QCOMPARE(h.log->messages.back().title, kReplaceTitle);
        QCOMPARE(h.log->messages.back().icon, UserPrompts::Icon::Warning);
        QCOMPARE(h.lastMessage(), QStringLiteral("There is no search term:\nnothing was replaced."));
    }

    void endlessReplacementStopsAndChangesNothing()
    {
        // Every ab -> bbaa forms a new ab with what follows: the passes never end.
        Harness h("aab");
        h.panel->showFrame();
        h.sr->setText(QStringLiteral("ab"));
        h.rp->setText(QStringLiteral("bbaa"));
        h.caretAt(0);
        h.panel->replaceAll();
        QCOMPARE(h.buffer->text(), std::string("aab"));
        QVERIFY(!h.editor->isUndoAvailable());
        QCOMPARE(h.log->messages.size(), std::size_t{1});
        QCOMPARE(h.log->messages.back().icon, UserPrompts::Icon::Warning);
        QVERIFY2(h.lastMessage().startsWith(QStringLiteral("Replace All stopped after 1000003 replacements:\n")),
                 qPrintable(h.lastMessage()));
        QVERIFY(h.lastMessage().endsWith(QStringLiteral("The text was not changed.")));
    }
};

QTEST_MAIN(SearchPanelTest)
#include "search_panel_test.moc"
