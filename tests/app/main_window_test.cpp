#include "common/version.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/build_commands.h"
#include "reference/sqlite_database.h"
#include "support/window_session.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <fstream>

using namespace scrivlet;
using fixtures::TempDir;
using fixtures::WindowSession;

namespace {

QString caption()
{
    return QString::fromLatin1(kProgramCaption.data(), qsizetype(kProgramCaption.size()));
}

QStringList listNames(const WindowSession& s)
{
    QStringList out;
    const QAbstractItemModel* model = s.child<QListView>("entry")->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 0).data().toString();
    return out;
}

void trigger(const WindowSession& s, const char* action)
{
    s.window->findChild<QAction*>(action)->trigger();
}

// A User RPL program as the calculator sends it in translation mode 3, and its bytes.
const std::string kEscaped = "%%HP: T(3)A(R)F(.);\r\n\\<< \\-> x y\r\n  \\<< x y + \\v/ \"a\\\\b\" "
                             "\\160 \\Gm\r\n  \\>>\r\n\\>>";
const std::string kBytes = "%%HP: T(3)A(R)F(.);\r\n\xAB \x8D x y\r\n  \xAB x y + \x83 \"a\\b\" "
                           "\xA0 \xB5\r\n  \xBB\r\n\xBB";

// The file a save action writes, answering its dialog with `name` in the session's folder.
std::string saved(const WindowSession& s, const char* action, const std::string& name)
{
    s.log->saveAsAnswers.push_back(QString::fromStdString(s.dir.file(name)));
    trigger(s, action);
    return TempDir::readBytes(s.dir.file(name));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsAsDesigned()
    {
        WindowSession s;
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,0"));
        QVERIFY(s.showActive());
        QCOMPARE(s.window->windowTitle(), caption());
        QVERIFY(!s.window->beepOption() && s.window->autoidentOption());
        QCOMPARE(listNames(s),
                 QStringList({"DUP", "SWAP", "DROP", "DUPDUP", "2DROP", "a*b", "a_c", "dupx"}));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03188"));
        QVERIFY(s.child<QGroupBox>("srepl")->isHidden());
        QCOMPARE(s.child<QGroupBox>("srepl")->geometry(), QRect(0, 2, 192, 116));
        QCOMPARE(s.window->buffer().selStart(), 4); // offset 5 lies inside a line break
        QStringList bar;
        for (QAction* a : s.window->menuBar()->actions())
            if (a->isVisible())
                bar << a->text();
        QCOMPARE(bar, QStringList({"File", "Edit", "View", "Options", "Build", "Calculator",
                                   "About", "POS: 2,1", "Windows-1252"}));
        trigger(s, "pos5"); // does nothing
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,1"));
        QVERIFY(s.log->messages.empty());
        QStringList tabs; // the focus chain through the controls that take the focus
        for (QWidget* w = s.child<QWidget>("entry"); tabs.size() < 13; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                tabs << w->objectName();
        QCOMPARE(tabs, QStringList({"entry", "Command1", "Command2", "text", "Command3", "Command4",
                                    "Option1", "Command7", "rp", "sr", "Command6", "Command5",
                                    "Check1"}));
    }

    void utf8FilesShowTheirCharactersAndSaveByteForByte()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        EditorBuffer& b = s.window->buffer();
        auto* text = s.child<SourceEditor>("text");
        auto* indicator = s.child<QMenu>("encoding");
        const std::string bytes = "\xC2\xAB x \xE2\x86\x92 y \xC2\xBB\n@ \xC3\xA7\xC3\xA3\n";
        fixtures::writeFile(s.dir.file("u.rpl"), bytes);
        const auto open = [&](const char* name) {
            s.log->openAnswers.push_back(QString::fromStdString(s.dir.file(name)));
            trigger(s, "file2");
        };
        open("u.rpl");
        QCOMPARE(indicator->title(), QStringLiteral("UTF-8"));
        text->selectAll();
        text->copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString::fromUtf16(u"\u00AB x \u2192 y \u00BB\n@ \u00E7\u00E3\n"));
        b.setSelStart(0);
        QTest::keyClick(s.window->windowHandle(), Qt::Key_Right);          // over « whole
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,3")); // bytes, as before
        QTest::keyClick(s.window->windowHandle(), Qt::Key_End);
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 1,14"));
        trigger(s, "encodingWindows1252"); // the old glyphs, two or three per character
        QCOMPARE(indicator->title(), QStringLiteral("Windows-1252"));
        text->selectAll();
        text->copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString::fromUtf16(u"\u00C2\u00AB x \u00E2\u2020\u2019 y \u00C2\u00BB\n@ "
                                    u"\u00C3\u00A7\u00C3\u00A3\n"));
        QCOMPARE(saved(s, "file3", "u3.rpl"), bytes);

        fixtures::writeFile(s.dir.file("hp.txt"), "%%HP: T(3)A(R)F(.);\r\n\xAB\xBB");
        open("hp.txt"); // a transfer header: the calculator's set
        QCOMPARE(indicator->title(), QStringLiteral("Calculator"));
    }

    void saveWritesToTheOpenFileAndSaveAsAddsTheExtension()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        EditorBuffer& b = s.window->buffer();
        b.setText("A\r\nB");
        s.log->saveAsAnswers.push_back(QString::fromStdString(s.dir.file("noext")));
        QTest::keyClick(s.window->windowHandle(), Qt::Key_S, Qt::ControlModifier); // no name yet
        QCOMPARE(TempDir::readBytes(s.dir.file("noext.rpl")), "A\nB");
        QVERIFY(s.window->windowTitle().endsWith(QStringLiteral("noext.rpl")));
        b.setText("C");
        QTest::keyClick(s.window->windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(TempDir::readBytes(s.dir.file("noext.rpl")), "C");
        QVERIFY(!b.isModified());
        QCOMPARE(s.log->filtersShown.size(), 1); // asked once
        trigger(s, "file1");
        b.setText("D");
        trigger(s, "save"); // after New, Save asks again; a cancelled dialog writes nothing
        QCOMPARE(s.log->filtersShown.size(), 2);
        QCOMPARE(TempDir::readBytes(s.dir.file("noext.rpl")), "C");
        QCOMPARE(s.window->findChild<QAction*>("edit1")->shortcut(), QKeySequence(Qt::Key_F3));
    }

    void onlyTheNewOptionsAreRememberedAcrossStarts()
    {
        WindowSession s;
        QVERIFY(s.window->rememberedOption(RememberedOption::LineNumbers));
        QVERIFY(!s.window->rememberedOption(RememberedOption::NamesInFileFirst));
        QSignalSpy changed(s.window.get(), &Form1::optionChanged);
        trigger(s, "options1"); // Beep
        trigger(s, "NamesInFileFirst");
        trigger(s, "LineNumbers");
        QCOMPARE(changed.count(), 2);
        trigger(s, "dialectSystem"); // Build > Dialect
        s.log->folderAnswers = {QStringLiteral("/opt/headers")};
        trigger(s, "includeFolder");
        s.start();
        QCOMPARE(s.window->findChild<BuildCommands*>()->includeFolder(), QStringLiteral("/opt/headers"));
        QVERIFY(s.window->findChild<QAction*>("dialectSystem")->isChecked());
        QVERIFY(!s.window->findChild<QAction*>("dialectAutomatic")->isChecked());
        QVERIFY(!s.window->beepOption());
        QVERIFY(s.window->rememberedOption(RememberedOption::NamesInFileFirst));
        QVERIFY(!s.window->rememberedOption(RememberedOption::LineNumbers));
    }

    void resizeMovesThePanelAndGrowsTheEditorAndList()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        const auto* text = s.child<SourceEditor>("text");
        const auto* desc = s.child<QGroupBox>("desc");
        const auto* entry = s.child<QListView>("entry");
        s.window->resize(700, 500);
        QTRY_COMPARE(text->geometry().right() + 1, desc->x());
        const QRect t0 = text->geometry(), d0 = desc->geometry(), e0 = entry->geometry();
        s.window->resize(737, 537);
        QTRY_COMPARE(text->geometry(), t0.adjusted(0, 0, 37, 37));
        QCOMPARE(desc->geometry(), d0.adjusted(37, 0, 37, 37));
        QCOMPARE(entry->geometry(), e0.adjusted(0, 0, 0, 37));
        s.window->resize(60, 40); // too small for the panel: nothing fails
        QTRY_COMPARE(text->width(), 0);
    }

    void theHandleWidensThePanelAndTheWidthIsRemembered()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        s.window->resize(700, 500);
        auto* handle = s.child<QWidget>("panelSplitter");
        const auto* desc = s.child<QGroupBox>("desc");
        const auto* entry = s.child<QListView>("entry");
        QTRY_COMPARE(desc->width(), 192);
        const QRect t0 = s.child<SourceEditor>("text")->geometry(), e0 = entry->geometry();
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 50));
        QTest::mouseMove(handle, QPoint(-38, 50));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(-38, 50));
        QCOMPARE(desc->width(), 232);
        QCOMPARE(s.child<SourceEditor>("text")->geometry(), t0.adjusted(0, 0, -40, 0));
        QCOMPARE(entry->geometry(), e0.adjusted(0, 0, 40, 0));
        s.start();
        QVERIFY(s.showActive());
        s.window->resize(700, 500);
        QTRY_COMPARE(s.child<QGroupBox>("desc")->width(), 232);
    }

    void aBadDatabaseGivesOneMessageAndAnEmptyListAndIsLeftAlone()
    {
        WindowSession s([](const TempDir& dir) {
            std::ofstream(dir.file("entries97.mdb")) << "not a database";
        });
        QCOMPARE(int(s.log->messages.size()), 1);
        QVERIFY(s.log->messages[0].text.contains(QStringLiteral("entries97.mdb")));
        QVERIFY(listNames(s).isEmpty());
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("IDENTIFIED ENTRY"));
        QCOMPARE(TempDir::readBytes(s.dir.file("entries97.mdb")), "not a database");
    }

    void sortButtonsReadFromTheStartDirectory()
    {
        WindowSession s;
        QDir::setCurrent(QDir::tempPath()); // as a file dialog may
        s.child<QPushButton>("Command1")->click();
        QCOMPARE(listNames(s),
                 QStringList({"2DROP", "a*b", "a_c", "DROP", "DUP", "DUPDUP", "dupx", "SWAP"}));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03258"));
    }

    void theCommandLineFileOpensAtTheFirstActivationOnly()
    {
        WindowSession s;
        const std::string path = s.dir.file("prog.rpl");
        std::ofstream(path, std::ios::binary) << "::\n  DUP\r\n;";
        s.start(QString::fromStdString(path));
        QVERIFY(s.showActive());
        QCOMPARE(s.window->windowTitle(), caption() + QString::fromStdString(" - " + path));
        s.window->buffer().setSelText("x");
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(s.window.get(), &activate);
        QCOMPARE(s.window->buffer().text(), std::string("x::\r\n  DUP\r\n;"));
        QCOMPARE(s.window->buffer().selStart(), 1);
    }

    void newAndExitAskBeforeDroppingChangedText()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        s.window->buffer().setSelText("DUP");
        s.log->saveAnswers = {UserPrompts::SaveChoice::Cancel, UserPrompts::SaveChoice::Discard};
        trigger(s, "file5");
        QVERIFY(s.window->isVisible());
        trigger(s, "file1");
        QCOMPARE(s.window->buffer().text(), std::string("::\r\n\r\n;\r\n@"));
        trigger(s, "file5"); // nothing changed since New: no question
        QCOMPARE(s.log->saveQuestions, 2);
        QVERIFY(!s.window->isVisible());
    }

    void editMenuAndF3OpenTheSearchFrameAndCloseLeavesIt()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        trigger(s, "edit2");
        QVERIFY(s.child<QLineEdit>("sr")->hasFocus());
        s.child<QPushButton>("Command7")->click();
        QVERIFY(s.child<QGroupBox>("srepl")->isHidden());
        QVERIFY(s.child<SourceEditor>("text")->hasFocus());
        QTest::keyClick(s.window->windowHandle(), Qt::Key_F3);
        QVERIFY(s.child<QGroupBox>("srepl")->isVisible());
        QVERIFY(s.log->messages.empty()); // showing the frame searches nothing
    }

    void aDropOfSeveralFilesIsOneUndoStep()
    {
        WindowSession s;
        std::ofstream(s.dir.file("a.txt")) << "A\n";
        std::ofstream(s.dir.file("b.s")) << "B";
        s.window->buffer().setText("<>");
        s.window->buffer().setSelStart(1);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(s.dir.file("a.txt"))),
                      QUrl::fromLocalFile(QString::fromStdString(s.dir.file("b.s")))});
        QWidget* viewport = s.child<SourceEditor>("text")->viewport();
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(s.window->buffer().text(), std::string("<A\r\nB>"));
        s.child<SourceEditor>("text")->undo();
        QCOMPARE(s.window->buffer().text(), std::string("<>"));
    }

    void usesKeptWhileTheDatabaseIsBusyShowOnTheBarAndAreToldAtClose()
    {
        WindowSession s;
        s.window->entries().setUseWait(std::chrono::milliseconds(50));
        SqliteDatabase other(s.dir.file("entries97.mdb"), SqliteDatabase::OpenMode::ExistingOnly);
        other.exec("BEGIN IMMEDIATE");
        QVERIFY(s.window->entries().recordset().addUse().waiting);
        QAction* waiting = s.window->findChild<QAction*>(QStringLiteral("usesWaiting"));
        QVERIFY(waiting && waiting->isVisible());
        QCOMPARE(waiting->text(), QStringLiteral("Uses waiting: 1"));
        QVERIFY(s.window->close());
        QCOMPARE(int(s.log->messages.size()), 1);
        QVERIFY(s.log->messages[0].text.startsWith(
            QStringLiteral("1 use of an entry could not be counted in ")));
        other.exec("COMMIT");
    }

    void theCalculatorsCharactersOnScreenAsEscapesAndInItsFiles()
    {
        WindowSession s([](const TempDir& dir) { // the database keeps byte 8D as UTF-8
            fixtures::writeEntryDatabase(dir.file("entries97.mdb"),
                                         {{"\xC2\x8DLIST", "05BB0", "( n \xC2\x8D { } )"}});
        });
        QVERIFY(s.showActive());
        EditorBuffer& b = s.window->buffer();
        // Edit: escapes to bytes and back, the whole text when nothing is selected; one undo each.
        b.setText(kEscaped);
        b.setSelStart(kEscaped.find("x y +"));
        trigger(s, "charactersFromEscapes");
        QCOMPARE(b.text(), kBytes);
        QCOMPARE(b.slice(b.selStart(), b.selStart() + 5), "x y +");
        QCOMPARE(s.log->messages.back().text, QStringLiteral("Converted 9 escapes."));
        QTest::keyClick(s.child<SourceEditor>("text"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(b.text(), kEscaped);
        b.setText(kBytes);
        trigger(s, "escapesFromCharacters");
        QCOMPARE(b.text(), kEscaped);
        QTest::keyClick(s.child<SourceEditor>("text"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(b.text(), kBytes);
        b.setText("\\-> \\q \\Gs \\>>"); // a selection: only it, and it stays selected
        b.setSelStart(4);
        b.setSelLength(7);
        trigger(s, "charactersFromEscapes");
        QCOMPARE(b.text(), "\\-> \\q \x98 \\>>");
        QCOMPARE(b.selText(), "\\q \x98 ");
        QCOMPARE(s.log->messages.back().text,
                 QStringLiteral("Converted 1 escape.\n1 unknown escape was left as it is."));

        // Save for Calculator: escapes and a header in the file, the editor as it was.
        b.setText(kBytes.substr(21)); // without its header line
        b.setSelStart(5);
        b.setModified(false);
        QCOMPARE(saved(s, "saveForCalculator", "prog.txt"),
                 QString::fromStdString(kEscaped).replace("\r\n", "\n").toStdString());
        QCOMPARE(b.text(), kBytes.substr(21));
        QVERIFY(!b.isModified() && !s.child<SourceEditor>("text")->isUndoAvailable() &&
                b.selStart() == 5);
        QCOMPARE(s.window->windowTitle(), caption());
        b.setText("%%HP: T(1)A(D)F(,);\r\n\x8D"); // a header of its own is kept, but warned about
        QCOMPARE(saved(s, "saveForCalculator", "t1.txt"), "%%HP: T(1)A(D)F(,);\n\\->");
        QCOMPARE(s.log->messages.back().icon, UserPrompts::Icon::Warning);
        const std::string missing = s.dir.file("no such folder/x.txt"); // a failure names the file
        QCOMPARE(saved(s, "saveForCalculator", "no such folder/x.txt"), "");
        QVERIFY(s.log->messages.back().text.startsWith(
            QString::fromStdString("The file could not be saved:\n" + missing + "\n")));

        // The character set: bytes shown as the calculator's, typed and pasted ones become them.
        b.setText(kBytes);
        const std::string off = saved(s, "file3", "off.rpl");
        trigger(s, "CalculatorCharacterSet");
        QCOMPARE(listNames(s), QStringList{QString::fromUtf16(u"\u2192LIST")});
        QCOMPARE(saved(s, "file3", "on.rpl"), off);
        b.setText("");
        QTest::sendKeyEvent(QTest::Click, s.window->windowHandle(), Qt::Key_unknown,
                            QString::fromUtf16(u"\u2192"), Qt::NoModifier);
        QCOMPARE(b.text(), "\x8D"); // the arrow alone is the language's own word
        QTest::keyClick(s.window->windowHandle(), Qt::Key_L, Qt::ShiftModifier);
        QCOMPARE(s.child<QLabel>("description")->text(), QString::fromUtf16(u"( n \u2192 { } )"));
        b.setText("\x8D");
        b.setSelStart(1);
        QApplication::clipboard()->setText(QString::fromUtf16(u" \u00AB \u2192 \u00BB x\u0304"));
        s.child<SourceEditor>("text")->paste(); // x with a combining macron: the one byte of x̄
        QCOMPARE(b.text(), "\x8D \xAB \x8D \xBB \x81");
        b.setSelStart(0);
        s.child<QLineEdit>("sr")->setText(QString::fromUtf16(u"\u2192"));
        s.child<QPushButton>("Command5")->click();
        QCOMPARE(b.selStart(), 4); // the one at the caret is passed over
        trigger(s, "CalculatorCharacterSet");
        QCOMPARE(listNames(s), QStringList{QString::fromUtf16(u"\u008DLIST")});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
