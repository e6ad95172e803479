#include "calculator/library_object.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/build_commands.h"
#include "files/file_commands.h"
#include "files/line_ends.h"
#include "files/problem_pane.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QtTest>

using namespace scrivlet;
using scrivlet::fixtures::PromptLog;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::writeFile;

namespace {

const std::string kPair = std::string(SCRIVLET_OBJECTS_DIR) + "/hptx/49g-P";

std::string bytesOf(const std::string& path)
{
    return readWholeFile(path).bytes;
}

// A shown, active window: the editor with the problem pane under it, the File commands and the
// Build menu over the built entry database.
struct Window {
    TempDir dir;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    fixtures::RecordingPrompts prompts{log};
    QMainWindow window;
    QWidget* client = new QWidget(&window);
    SourceEditor* editor = new SourceEditor(client);
    EditorBuffer buffer{*editor};
    ProblemPane* pane = new ProblemPane(client);
    FileCommands files{window, buffer, prompts};
    BuildCommands build{window, buffer, prompts, files, *pane, SCRIVLET_BUILT_DATABASE};

    Window()
    {
        window.setCentralWidget(client);
        build.addMenu(*window.menuBar(), nullptr);
        window.resize(500, 400);
        pane->placeUnder(*editor, 480, 360);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    QString compileSource(const std::string& name, const std::string& bytes)
    {
        writeFile(dir.file(name), bytes);
        files.openCommandLineFile(QString::fromStdString(dir.file(name)));
        editor->setFocus();
        QTest::keyClick(&window, Qt::Key_F9);
        return pane->count() > 0 ? pane->item(0)->text() : QString();
    }
};

} // namespace

class BuildCommandsTest final : public QObject {
    Q_OBJECT

  private slots:
    // A real pair from the calculator: its binary opens as its source, marked in the caption;
    // F9 on the source writes the binary byte for byte beside it and says its size and
    // checksum; Save As of the *.hp type writes the same bytes.
    void binaryOpensAsSourceAndF9WritesItBack()
    {
        Window w;
        w.files.openCommandLineFile(QString::fromStdString(kPair + ".hp"));
        QCOMPARE(w.buffer.text(), toEditorLineEnds(bytesOf(kPair + ".txt")));
        QVERIFY(w.window.windowTitle().endsWith(QStringLiteral("49g-P.hp (decompiled)")));
        QVERIFY(!w.files.isModified());

        const QString note = w.compileSource("prog.txt", bytesOf(kPair + ".txt"));
        QCOMPARE(bytesOf(w.dir.file("prog.hp")), bytesOf(kPair + ".hp"));
        QVERIFY2(note.startsWith(QStringLiteral("Compiled: 15 bytes, checksum # ")),
                 qPrintable(note));
        QVERIFY(w.pane->isVisible());
        QVERIFY(w.editor->height() < 360);

        w.log->saveAsAnswers.push_back(QString::fromStdString(w.dir.file("saved.hp")));
        QVERIFY(w.files.saveAs());
        QCOMPARE(bytesOf(w.dir.file("saved.hp")), bytesOf(kPair + ".hp"));
        QVERIFY(w.log->filtersShown.back().endsWith(QStringLiteral("|Calculator Object|*.hp")));

        // Dropped, the object goes in at the caret without its header line, as one undo step.
        w.buffer.setText("A\r\nB");
        w.buffer.setSelStart(3);
        w.files.dropFiles({QString::fromStdString(kPair + ".hp")});
        QCOMPARE(w.buffer.text(), std::string("A\r\n\\<< 1 + \\>>\r\nB"));
    }

    // A source error shows line:column: message; a click puts the caret there with the focus;
    // the old object beside the source is left byte for byte. A damaged binary says where and
    // changes nothing.
    void failuresSayWhereAndKeepFiles()
    {
        Window w;
        writeFile(w.dir.file("bad.hp"), "HPHP49-C old bytes");
        const QString problem =
            w.compileSource("bad.txt", "%%HP: T(3)A(R)F(.);\n\\<< 1 +\n  THEN \\>>\n");
        QCOMPARE(problem, QStringLiteral("3:3: THEN is out of place here"));
        QCOMPARE(bytesOf(w.dir.file("bad.hp")), std::string("HPHP49-C old bytes"));

        w.pane->setFocus();
        QTest::mouseClick(w.pane->viewport(), Qt::LeftButton, {},
                          w.pane->visualItemRect(w.pane->item(0)).center());
        QCOMPARE(w.buffer.lineColumn(w.buffer.selStart()), (LineColumn{3, 3}));
        QVERIFY(w.editor->hasFocus());

        const std::string before = w.buffer.text();
        writeFile(w.dir.file("cut.hp"), std::string("HPHP49-C\x2C\x2A\x00\x10\x00", 13));
        w.files.openCommandLineFile(QString::fromStdString(w.dir.file("cut.hp")));
        QCOMPARE(w.buffer.text(), before);
        QCOMPARE(w.log->messages.size(), std::size_t(1));
        QVERIFY(w.log->messages[0].text.contains(QStringLiteral("Byte 10")));
    }

    // Shift+F9 on a source of a project folder builds its one .hpp (the sources INCLUDE the
    // header it asks for); a fault in another source shows file:line:column, keeps the old
    // library, and a click opens that file (after asking about the changed text) at the place.
    // With two projects in the folder the file dialog asks.
    void buildLibraryFromASource()
    {
        Window w;
        const std::string folder = std::string(SCRIVLET_OBJECTS_DIR) + "/hpairnav/ASPD50/";
        for (const char* name : {"CMACH.s", "CSAT.s", "TASMS.s", "CTAT.s"})
            writeFile(w.dir.file(name), bytesOf(folder + name));
        writeFile(w.dir.file("ASPD50.hpp"), "[Main]\nlibrary=1\nRomid=328\nWriteHeader=1\n"
                                            "FilePath=out.hp\n[Files]\nfile1=CMACH.s\n"
                                            "file2=CSAT.s\nfile3=TASMS.s\nfile4=CTAT.s\n");
        w.files.openCommandLineFile(QString::fromStdString(w.dir.file("CMACH.s")));
        QTest::keyClick(&w.window, Qt::Key_F9, Qt::ShiftModifier);
        QVERIFY2(w.pane->item(0)->text().startsWith(QStringLiteral("Library built: ")),
                 qPrintable(w.pane->item(0)->text()));
        const std::string library = bytesOf(w.dir.file("out.hp"));
        const LibraryRead read = readLibrary(readTransferFile(library).file.object);
        QVERIFY(read.ok);
        QCOMPARE(read.parts.commands.size(), std::size_t(4));
        QVERIFY(bytesOf(w.dir.file("ASPD50.h")).find("EXTERNAL CSAT\n") != std::string::npos);

        writeFile(w.dir.file("CSAT.s"), "* changed\nNULLNAME CSAT\n:: DUP\n  NOSUCHWORD ;\n");
        QTest::keyClick(w.editor, Qt::Key_X);
        w.log->saveAnswers = {UserPrompts::SaveChoice::Discard, UserPrompts::SaveChoice::Discard};
        QTest::keyClick(&w.window, Qt::Key_F9, Qt::ShiftModifier);
        QVERIFY2(w.pane->item(0)->text().startsWith(QStringLiteral("CSAT.s:4:3: ")),
                 qPrintable(w.pane->item(0)->text()));
        QCOMPARE(bytesOf(w.dir.file("out.hp")), library);
        QTest::mouseClick(w.pane->viewport(), Qt::LeftButton, {},
                          w.pane->visualItemRect(w.pane->item(0)).center());
        QCOMPARE(w.log->saveQuestions, 2);
        QVERIFY(w.files.path().endsWith(QStringLiteral("/CSAT.s")));
        QCOMPARE(w.buffer.lineColumn(w.buffer.selStart()), (LineColumn{4, 3}));

        writeFile(w.dir.file("other.hpp"), "[Main]\n");
        QVERIFY(!w.build.buildLibrary());
        QCOMPARE(w.log->filtersShown.back(), QStringLiteral("Library Project|*.hpp"));
    }

    // A header that is not beside the source is found in the folder Build > Include Folder
    // chose, and the choice is told to be remembered.
    void headersComeFromTheIncludeFolder()
    {
        Window w;
        std::filesystem::create_directories(w.dir.file("Include"));
        writeFile(w.dir.file("Include/Keys.h"), "DEFINE OKKEY BINT51\n");
        const std::string source = "RPL\nINCLUDE Keys.h\n:: OKKEY ;\n";
        QVERIFY(w.compileSource("k.s", source).startsWith(QStringLiteral("2:9: ")));
        QSignalSpy chosen(&w.build, &BuildCommands::includeFolderChosen);
        w.log->folderAnswers = {QString::fromStdString(w.dir.file("Include"))};
        w.window.findChild<QAction*>(QStringLiteral("includeFolder"))->trigger();
        QCOMPARE(chosen.count(), 1);
        QVERIFY2(w.compileSource("k.s", source).startsWith(QStringLiteral("Compiled: ")),
                 qPrintable(w.pane->item(0)->text()));
    }
};

QTEST_MAIN(BuildCommandsTest)
#include "build_commands_test.moc"
