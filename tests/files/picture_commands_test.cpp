#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/grob_picture.h"
#include "calculator/grob_text.h"
#include "support/window_session.h"

#include <QAction>
#include <QLabel>
#include <QMimeData>

using namespace scrivlet;

namespace {

// The program's window, with files of the test's own.
struct Session : fixtures::WindowSession {
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }
    QString png(const char* name, const QImage& image) const
    {
        image.save(file(name), "PNG");
        return file(name);
    }
    std::string text() const { return window->buffer().text(); }
    QString lastMessage() const { return log->messages.empty() ? "" : log->messages.back().text; }
    void edit(const std::string& text, std::int64_t caret) const
    {
        window->buffer().setText(text);
        window->buffer().setSelStart(caret);
    }
    void trigger(const char* action) const { window->findChild<QAction*>(action)->trigger(); }
    // A real drag over the editor and a drop of these files.
    void drop(const QStringList& paths) const
    {
        QMimeData mime;
        for (const QString& path : paths)
            mime.setUrls(mime.urls() << QUrl::fromLocalFile(path));
        QWidget* viewport = child<SourceEditor>("text")->viewport();
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent dropped({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
    }
};

} // namespace

class PictureCommandsTest final : public QObject {
    Q_OBJECT

  private slots:
    void picturesGoInAsGrobLinesByTheDarkRuleOrStopTheWholeDrop()
    {
        Session s;
        const QString shot = s.png(
            "shot.data", QImage::fromData(QByteArray("P1 8 2 0 0 1 1 1 1 0 0 1 0 1 0 0 1 0 1")));
        const std::string pbm = "P1\r\n1 1\r\n1\r\n"; // a text file stays text, picture or not
        std::ofstream(s.dir.file("icon.txt")) << pbm;
        s.edit("<>", 1);
        s.drop({shot, s.file("icon.txt"), shot});
        QCOMPARE(s.text(), "<GROB 8 2 C35A\r\n" + pbm + "GROB 8 2 C35A\r\n>");
        s.child<SourceEditor>("text")->undo();
        QCOMPARE(s.text(), std::string("<>"));

        std::ofstream(s.dir.file("broken.png")) << "\x89PNG\r\n\x1a\n but nothing after";
        const std::pair<QString, QString> refused[] = {
            {s.png("wide.png", QImage(2049, 3, QImage::Format_Mono)), "2049 × 3 pixels"},
            {s.png("square.png", QImage(2048, 2048, QImage::Format_Mono)), "2048 × 2048 pixels"},
            {s.file("broken.png"), "could not be read as a PNG picture"},
        };
        for (const auto& [path, problem] : refused) {
            s.drop({s.file("icon.txt"), path});
            QCOMPARE(s.text(), std::string("<>"));
            QVERIFY2(s.lastMessage().contains(path) && s.lastMessage().contains(problem),
                     qPrintable(s.lastMessage()));
        }

        // A grey picture: all dark by the threshold, set and clear pixels mixed when dithered.
        QImage grey(8, 4, QImage::Format_RGB32);
        grey.fill(qRgb(100, 100, 100));
        s.edit("", 0);
        s.drop({s.png("grey.png", grey)});
        QCOMPARE(s.text(), std::string("GROB 8 4 FFFFFFFF\r\n"));
        s.window->setRememberedOption(RememberedOption::DitherPictures, true);
        s.edit("", 0);
        s.log->openAnswers = {s.file("grey.png")};
        s.trigger("importPicture");
        QCOMPARE(s.text(), std::string("GROB 8 4 D65DDAB5\r\n")); // 20 of 32 dark
    }

    void exportWritesTheGrobAtTheCaretAsGroOrPngAndRefusesMalformedOnes()
    {
        Session s;
        // Rows of two bytes, padding bits set in some.
        const GrobObject grob{13, 5, std::string("\x3C\xA5\xFF\xFF\x00\x10\x81\x7E\x42\x99", 10)};
        const std::string line = grobObjectLine(grob);
        s.edit(":: " + line.substr(0, line.size() - 2) + " ;", 10);
        s.log->saveAsAnswers = {s.file("out.gro"), s.file("out.png")};
        s.trigger("exportGrob");
        s.trigger("exportGrob");
        s.edit("", 0);
        s.drop({s.file("out.gro")});
        QCOMPARE(s.text(), line);
        QCOMPARE(QImage(s.file("out.png"), "PNG").convertToFormat(QImage::Format_RGB32),
                 pictureFromGrob(grob).convertToFormat(QImage::Format_RGB32));

        // Refused before the dialog: nothing can be written.
        for (const std::string bad : {"GROB 8 2 C35", "GROB 8 2 C35X", "GROB 1048576 1 00"}) {
            s.edit(bad, 1);
            s.trigger("exportGrob");
            QVERIFY(s.lastMessage().contains(QString::fromStdString(parseGrobText(bad).problem)));
        }
        s.edit("DUP", 1);
        s.trigger("exportGrob");
        QVERIFY(s.lastMessage().startsWith(QStringLiteral("There is no GROB")));
        QCOMPARE(s.log->filtersShown.size(), 2);
    }

    void theCaretTipComesWithTheCaretOntoAGrobAndGoesWhenItLeaves()
    {
        Session s;
        QVERIFY(s.showActive());
        const auto* tip = s.window->findChild<QLabel*>("grobCaretTip");
        s.edit("DUP\r\n:: GROB 8 2 C35A ;\r\n", 0);
        s.child<SourceEditor>("text")->moveCaret(13, false);
        QTRY_VERIFY(tip->isVisible());
        QVERIFY(tip->text().endsWith(QStringLiteral("8 × 2 pixels")));
        s.child<SourceEditor>("text")->moveCaret(5, false);
        QTRY_VERIFY(!tip->isVisible());
    }
};

QTEST_MAIN(PictureCommandsTest)
#include "picture_commands_test.moc"
