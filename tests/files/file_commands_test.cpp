#include "app/command_line.h"
#include "common/version.h"
#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/file_commands.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMimeData>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace scrivlet;
using scrivlet::fixtures::PromptLog;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::Unprivileged;

namespace {

const QString kCaption = QString::fromLatin1(kProgramCaption.data(), qsizetype(kProgramCaption.size()));
const QString kOpenFilter = QStringLiteral("Source Files|*.txt;*.asm;*.rpl;*.s;*.a;*.");
const QString kSaveFilter = QStringLiteral("Source File|*.rpl");

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

QString q(const std::string& path)
{
    return QString::fromStdString(path);
}

// Every byte value once, and the line ends a source can hold around them.
std::string allByteValues()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes + "x\r\ny\nz\r\r\n\n\r";
}

std::string crLfToLf(std::string s)
{
    for (std::size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at))
        s.replace(at, 2, "\n");
    return s;
}

// A main window whose editor pane holds the start-up text, with the file commands on it.
struct Window {
    TempDir dir;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    fixtures::RecordingPrompts prompts{log};
    QMainWindow window;
    SourceEditor* editor = new SourceEditor(&window);
    EditorBuffer buffer{*editor};
    std::unique_ptr<FileCommands> files;

    Window()
    {
        window.setCentralWidget(editor);
        window.setWindowTitle(kCaption);
        buffer.setText("::\r\n\r\n;\r\n@\r\n");
        files = std::make_unique<FileCommands>(window, buffer, prompts);
    }

    void type(const char* text) { QTest::keyClicks(editor, text); }

    // A real drag over the editor and a drop of these files.
    bool drop(const QStringList& paths)
    {
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        QMimeData mime;
        mime.setUrls(urls);
        QWidget* target = editor->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        return enter.isAccepted() && move.isAccepted() && dropped.isAccepted();
    }
};

} // namespace

class FileCommandsTest final : public QObject {
    Q_OBJECT

  private slots:
    void newFileGivesTheSkeletonThatSavesAsSevenBytes()
    {
        Window w;
        w.files->markUnmodified();
        w.buffer.setText("something else");
        w.files->markUnmodified();
        w.window.setWindowTitle(kCaption + QStringLiteral(" - /x.rpl"));
        w.files->newFile();
        QCOMPARE(w.buffer.text(), std::string("::\r\n\r\n;\r\n@"));
        QCOMPARE(w.window.windowTitle(), kCaption);
        QCOMPARE(w.buffer.selStart(), std::int64_t(4));
        QVERIFY(!w.files->isModified());

        w.log->saveAsAnswers.push_back(q(w.dir.file("new.rpl")));
        QVERIFY(w.files->saveAs());
        QCOMPARE(TempDir::readBytes(w.dir.file("new.rpl")), std::string("::\n\n;\n@"));
        QCOMPARE(w.log->filtersShown, QStringList{kSaveFilter});
        QCOMPARE(w.window.windowTitle(),
                 kCaption + QStringLiteral(" - ") + q(w.dir.file("new.rpl")));
        QVERIFY(w.log->messages.empty());
    }

    // Open then Save As writes every byte back except CR LF, which becomes LF.
    void openThenSaveAsChangesOnlyCrLf()
    {
        Window w;
        const std::string original = allByteValues();
        writeBytes(w.dir.file("all.rpl"), original);
        w.log->openAnswers.push_back(q(w.dir.file("all.rpl")));
        w.files->openFile();
        QCOMPARE(w.log->filtersShown, QStringList{kOpenFilter});
        QCOMPARE(w.window.windowTitle(),
                 kCaption + QStringLiteral(" - ") + q(w.dir.file("all.rpl")));
        QCOMPARE(w.buffer.selStart(), std::int64_t(0));
        QVERIFY(!w.files->isModified());
        // In the editor every lone LF has become CR LF; lone CRs stay.
        const std::string shown = w.buffer.text();
        QCOMPARE(shown.size(), original.size() + 3);
        QVERIFY(shown.ends_with("x\r\ny\r\nz\r\r\n\r\n\r"));

        w.log->saveAsAnswers.push_back(q(w.dir.file("saved.rpl")));
        QVERIFY(w.files->saveAs());
        QCOMPARE(TempDir::readBytes(w.dir.file("saved.rpl")), crLfToLf(original));
        // Save As leaves the editor as it was.
        QCOMPARE(w.buffer.text(), shown);
        QCOMPARE(w.window.windowTitle(),
                 kCaption + QStringLiteral(" - ") + q(w.dir.file("saved.rpl")));

        // The saved file reopened and saved again: again only its CR LF pairs change (the
        // CR LF that "CR CR LF" left behind).
        const std::string saved = TempDir::readBytes(w.dir.file("saved.rpl"));
        w.log->openAnswers.push_back(q(w.dir.file("saved.rpl")));
        w.files->openFile();
        w.log->saveAsAnswers.push_back(q(w.dir.file("again.rpl")));
        QVERIFY(w.files->saveAs());
        QCOMPARE(TempDir::readBytes(w.dir.file("again.rpl")), crLfToLf(saved));
    }

    void aFailedOpenSaysWhyAndChangesNothing()
    {
        Window w;
        std::filesystem::create_directory(w.dir.file("folder.rpl"));
        writeBytes(w.dir.file("secret.rpl"), "x");
        ::chmod(w.dir.file("secret.rpl").c_str(), 0);
        const struct {
            std::string path;
            QString reason;
        } cases[] = {
            {w.dir.file("missing.rpl"), QStringLiteral("No such file or directory")},
            {w.dir.file("folder.rpl"), QStringLiteral("folder")},
            {w.dir.file("secret.rpl"), QStringLiteral("Permission denied")},
        };
        w.type("typed");
        const std::string before = w.buffer.text();
        Unprivileged asNobody;
        for (const auto& c : cases) {
            w.log->messages.clear();
            w.log->saveAnswers.push_back(UserPrompts::SaveChoice::Discard);
            w.log->openAnswers.push_back(q(c.path));
            w.files->openFile();
            QCOMPARE(w.buffer.text(), before);
            QCOMPARE(w.window.windowTitle(), kCaption);
            QVERIFY(w.files->isModified());
            QCOMPARE(w.log->messages.size(), std::size_t(1));
            QCOMPARE(w.log->messages[0].title, QStringLiteral("Vantor Scrivlet Open"));
            QVERIFY2(w.log->messages[0].text.contains(q(c.path)),
                     qPrintable(w.log->messages[0].text));
            QVERIFY2(w.log->messages[0].text.contains(c.reason),
                     qPrintable(w.log->messages[0].text));
        }
        // A cancelled dialog: nothing at all.
        w.log->messages.clear();
        w.log->saveAnswers.push_back(UserPrompts::SaveChoice::Discard);
        w.files->openFile();
        QCOMPARE(w.buffer.text(), before);
        QVERIFY(w.log->messages.empty());
    }

    void saveAsIntoAReadOnlyFolderKeepsTheOldFile()
    {
        Window w;
        const std::filesystem::path folder = w.dir.path() / "locked";
        std::filesystem::create_directory(folder);
        const std::string target = (folder / "prog.rpl").string();
        writeBytes(target, "old bytes\n");
        ::chmod(target.c_str(), 0666);
        ::chmod(folder.c_str(), 0555);
        w.type("new text");
        const std::string text = w.buffer.text();
        const std::int64_t caret = w.buffer.selStart();
        {
            Unprivileged asNobody;
            w.log->saveAsAnswers.push_back(q(target));
            QVERIFY(!w.files->saveAs());
        }
        QCOMPARE(TempDir::readBytes(target), std::string("old bytes\n"));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(folder), {}), std::ptrdiff_t(1));
        QCOMPARE(w.buffer.text(), text);
        QCOMPARE(w.buffer.selStart(), caret);
        QCOMPARE(w.window.windowTitle(), kCaption);
        QVERIFY(w.files->isModified());
        QCOMPARE(w.log->messages.size(), std::size_t(1));
        QCOMPARE(w.log->messages[0].title, QStringLiteral("Vantor Scrivlet Save As"));
        QVERIFY(w.log->messages[0].text.contains(q(target)));
        QVERIFY2(w.log->messages[0].text.contains(QStringLiteral("Permission denied")),
                 qPrintable(w.log->messages[0].text));
    }

    void changedTextIsNeverDiscardedWithoutAsking()
    {
        using Choice = UserPrompts::SaveChoice;
        Window w;
        // Unchanged text: no question.
        QVERIFY(w.files->confirmDiscard());
        QCOMPARE(w.log->saveQuestions, 0);

        w.type("DUP");
        const std::string typed = w.buffer.text();
        QVERIFY(w.files->isModified());

        // Cancel keeps everything, for New, Open and closing.
        w.log->saveAnswers = {Choice::Cancel, Choice::Cancel, Choice::Cancel};
        w.files->newFile();
        w.files->openFile();
        QVERIFY(!w.files->confirmDiscard());
        QCOMPARE(w.log->saveQuestions, 3);
        QVERIFY(w.log->filtersShown.isEmpty());
        QCOMPARE(w.buffer.text(), typed);
        QCOMPARE(w.window.windowTitle(), kCaption);

        // Save with the dialog cancelled keeps everything too.
        w.log->saveAnswers = {Choice::Save};
        w.files->newFile();
        QCOMPARE(w.buffer.text(), typed);

        // Save, then New: the typed text is on disk and the skeleton in the editor.
        w.log->saveAnswers = {Choice::Save};
        w.log->saveAsAnswers = {q(w.dir.file("kept.rpl"))};
        w.files->newFile();
        QCOMPARE(TempDir::readBytes(w.dir.file("kept.rpl")), crLfToLf(typed));
        QCOMPARE(w.buffer.text(), std::string("::\r\n\r\n;\r\n@"));
        QCOMPARE(w.window.windowTitle(), kCaption);

        // Discard.
        w.type("x");
        w.log->saveAnswers = {Choice::Discard};
        QVERIFY(w.files->confirmDiscard());
        QCOMPARE(w.log->saveQuestions, 6);
    }

    void droppedFilesGoInByTheirExtension()
    {
        Window w;
        const auto file = [&](const char* name, const std::string& bytes) {
            writeBytes(w.dir.file(name), bytes);
            return q(w.dir.file(name));
        };
        const QString a = file("a.txt", "A1\nA2");
        const QString b = file("b.s", "B\r\n");
        const QString readme = file("README.TXT", "readme");
        const QString pic = file(
            "pic.gro", std::string("HHHHHHHH\x1E\x2B\x30\x01\x00\x02\x00\x80\x00\x00\x3C\xA5", 20));
        const QString notes = file("notes.doc", "notes");
        const QString rplx = file("x.rplx", "rplx");

        const struct {
            QStringList paths;
            std::string inserted;
        } cases[] = {
            {{a, b}, "A1\r\nA2B\r\n"},
            {{readme}, ""},
            {{pic}, "GROB 8 2 C35A\r\n"},
            {{notes}, ""},
            {{rplx}, "rplx"},
            {{notes, pic, readme, a}, "GROB 8 2 C35A\r\nA1\r\nA2"},
        };
        for (const auto& c : cases) {
            w.buffer.setText("<>");
            w.buffer.setSelStart(1);
            w.window.setWindowTitle(kCaption + QStringLiteral(" - /some/file.rpl"));
            QVERIFY(w.drop(c.paths));
            QCOMPARE(w.buffer.text(), "<" + c.inserted + ">");
            QCOMPARE(w.buffer.selStart(), std::int64_t(1 + c.inserted.size()));
            QCOMPARE(w.window.windowTitle(), kCaption + QStringLiteral(" - /some/file.rpl"));
            QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        }
        QVERIFY(w.log->messages.empty());

        // A selection is replaced.
        w.buffer.setText("keep SEL keep");
        w.buffer.setSelStart(5);
        w.buffer.setSelLength(3);
        QVERIFY(w.drop({rplx}));
        QCOMPARE(w.buffer.text(), std::string("keep rplx keep"));
        QVERIFY(w.files->isModified());
    }

    void aDropWithAFileThatCannotBeReadInsertsNothing()
    {
        Window w;
        writeBytes(w.dir.file("good.txt"), "good");
        writeBytes(w.dir.file("short.gro"), "HHHHHHHH\x1E\x2B");
        writeBytes(w.dir.file("cut.gro"),
                   std::string("HHHHHHHH\x1E\x2B\x30\x01\x00\x02\x00\x80\x00\x00\x3C", 19));
        std::filesystem::create_directory(w.dir.file("folder.txt"));
        const struct {
            std::string bad;
            QString reason;
        } cases[] = {
            {w.dir.file("missing.txt"), QStringLiteral("No such file or directory")},
            {w.dir.file("folder.txt"), QStringLiteral("folder")},
            {w.dir.file("short.gro"), QStringLiteral("10 bytes")},
            {w.dir.file("cut.gro"),
             QStringLiteral("announces 2 bytes of picture data, but only 1")},
        };
        for (const auto& c : cases) {
            w.log->messages.clear();
            w.buffer.setText("<>");
            w.buffer.setSelStart(1);
            w.files->markUnmodified();
            QVERIFY(w.drop({q(w.dir.file("good.txt")), q(c.bad)}));
            QCOMPARE(w.buffer.text(), std::string("<>"));
            QVERIFY(!w.files->isModified());
            QVERIFY(QGuiApplication::overrideCursor() == nullptr);
            QCOMPARE(w.log->messages.size(), std::size_t(1));
            const auto& m = w.log->messages[0];
            QCOMPARE(m.title, QStringLiteral("Vantor Scrivlet Drop"));
            QVERIFY2(m.text.contains(q(c.bad)) && m.text.contains(c.reason), qPrintable(m.text));
            QVERIFY(!m.text.contains(QStringLiteral("good.txt")));
        }
    }

    // A drag of plain text is the editor's own business: it inserts the text itself.
    void dragsWithoutFilesAreLeftToTheEditor()
    {
        Window w;
        w.buffer.setText("");
        QMimeData mime;
        mime.setText(QStringLiteral("plain"));
        QWidget* target = w.editor->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        QCOMPARE(w.buffer.text(), std::string("plain"));
        QVERIFY(w.log->messages.empty());
    }

    void theCommandLineFileOpensWithSpacesInItsPath()
    {
        Window w;
        std::filesystem::create_directory(w.dir.path() / "My Files");
        const std::string path = (w.dir.path() / "My Files" / "prog.rpl").string();
        writeBytes(path, "::\nDUP\n;\n@\n");
        // As the program receives it: split at the space, with the quotes still around it.
        const std::string joined = joinedPath(
            {"\"" + path.substr(0, path.find(' ')), path.substr(path.find(' ') + 1) + "\""});
        QCOMPARE(joined, path);
        w.files->openCommandLineFile(QString::fromLocal8Bit(joined.c_str()));
        QCOMPARE(w.buffer.text(), std::string("::\r\nDUP\r\n;\r\n@\r\n"));
        QCOMPARE(w.window.windowTitle(), kCaption + QStringLiteral(" - ") + q(path));
        QCOMPARE(w.buffer.selStart(), std::int64_t(0));
        QVERIFY(!w.files->isModified());
        QCOMPARE(w.log->saveQuestions, 0);
    }

    void anUnreadableCommandLineFileChangesNothing()
    {
        Window w;
        const std::string before = w.buffer.text();
        w.files->openCommandLineFile(QString());
        QVERIFY(w.log->messages.empty());
        w.files->openCommandLineFile(q(w.dir.file("no such.rpl")));
        QCOMPARE(w.buffer.text(), before);
        QCOMPARE(w.window.windowTitle(), kCaption);
        QCOMPARE(w.log->messages.size(), std::size_t(1));
        QVERIFY(w.log->messages[0].text.contains(q(w.dir.file("no such.rpl"))));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
