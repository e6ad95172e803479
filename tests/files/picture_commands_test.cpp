#include "editor/editor_buffer.h"
#include "editor/source_editor.h"
#include "files/grob_picture.h"
#include "files/grob_text.h"
#include "support/window_session.h"

#include <QAction>
#include <QLabel>
#include <QMimeData>
#include <QToolTip>
#include <random>

using namespace scrivlet;
using fixtures::TempDir;
using fixtures::WindowSession;

namespace {

QString q(const std::string& path)
{
    return QString::fromStdString(path);
}

// A real drag over the editor and a drop of these files.
void drop(const WindowSession& s, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    QWidget* viewport = s.child<SourceEditor>("text")->viewport();
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent dropped({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
}

// The editor holding `text` with the caret after `before` of it.
void show(const WindowSession& s, const std::string& text, std::size_t caret)
{
    s.window->buffer().setText(text);
    s.window->buffer().setSelStart(std::int64_t(caret));
}

QString picture(const TempDir& dir, const char* name, const QImage& image)
{
    const QString path = q(dir.file(name));
    image.save(path, "PNG");
    return path;
}

} // namespace

class PictureCommandsTest final : public QObject {
    Q_OBJECT

  private slots:
    void picturesGoInAsGrobLinesAmongTextFilesInOneUndoStep()
    {
        WindowSession s;
        QImage image(8, 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (const QPoint p : {QPoint(2, 0), QPoint(3, 0), QPoint(4, 0), QPoint(5, 0), QPoint(0, 1),
                               QPoint(2, 1), QPoint(5, 1), QPoint(7, 1)})
            image.setPixel(p, qRgb(0, 0, 0));
        const QString png = picture(s.dir, "shot.data", image);
        // A text file stays text even when its bytes are a picture.
        const std::string pbm = "P1\r\n1 1\r\n1\r\n";
        std::ofstream(s.dir.file("icon.txt")) << pbm;
        show(s, "<>", 1);
        drop(s, {png, q(s.dir.file("icon.txt")), png});
        QCOMPARE(s.window->buffer().text(), "<GROB 8 2 C35A\r\n" + pbm + "GROB 8 2 C35A\r\n>");
        s.child<SourceEditor>("text")->undo();
        QCOMPARE(s.window->buffer().text(), std::string("<>"));
        QVERIFY(s.log->messages.empty());
    }

    void picturesThatCannotBecomeAGrobStopTheDropWithTheFileNamed()
    {
        WindowSession s;
        std::ofstream(s.dir.file("good.txt")) << "good";
        std::ofstream(s.dir.file("broken.png")) << "\x89PNG\r\n\x1a\n but nothing after";
        const std::pair<QString, QString> cases[] = {
            {picture(s.dir, "wide.png", QImage(2049, 3, QImage::Format_Mono)), "2049 × 3 pixels"},
            {picture(s.dir, "square.png", QImage(2048, 2048, QImage::Format_Mono)),
             "at most 1048560 hex digits"},
            {q(s.dir.file("broken.png")), "could not be read as a PNG picture"},
        };
        for (const auto& [path, problem] : cases) {
            s.log->messages.clear();
            show(s, "<>", 1);
            drop(s, {q(s.dir.file("good.txt")), path});
            QCOMPARE(s.window->buffer().text(), std::string("<>"));
            QCOMPARE(s.log->messages.size(), std::size_t(1));
            const QString& text = s.log->messages[0].text;
            QVERIFY2(text.contains(path) && text.contains(problem), qPrintable(text));
        }
    }

    void exportedGrobsReadBackAsTheSameObject()
    {
        WindowSession s;
        std::mt19937 random(7);
        GrobObject grob{13, 5, {}};
        for (std::uint64_t b = 0; b < grobRowBytes(grob.width) * grob.height; ++b)
            grob.data += static_cast<char>(random()); // padding bits too
        std::string line = grobObjectLine(grob);
        line.resize(line.size() - 2);
        show(s, ":: " + line + " ;", 10);
        s.log->saveAsAnswers = {q(s.dir.file("out.gro")), q(s.dir.file("out.png"))};
        s.window->findChild<QAction*>("exportGrob")->trigger();
        s.window->findChild<QAction*>("exportGrob")->trigger();
        QVERIFY(s.log->messages.empty());
        QCOMPARE(s.log->filtersShown.value(0), QStringLiteral("GROB File|*.gro|PNG Picture|*.png"));

        show(s, "", 0);
        drop(s, {q(s.dir.file("out.gro"))});
        QCOMPARE(s.window->buffer().text(), line + "\r\n");
        const QImage png(q(s.dir.file("out.png")), "PNG");
        QCOMPARE(png.size(), QSize(13, 5));
        for (int y = 0; y < png.height(); ++y)
            for (int x = 0; x < png.width(); ++x)
                QCOMPARE(png.pixelColor(x, y) == Qt::black, grobPixel(grob, x, y));
    }

    void exportRefusesWhatIsNotAWholeGrobAndWritesNothing()
    {
        WindowSession s;
        const auto before = s.dir.snapshot();
        for (const std::string line : {"GROB 8 2 C35", "GROB 8 2 C35X", "GROB 1048576 1 00"}) {
            s.log->messages.clear();
            s.log->saveAsAnswers = {q(s.dir.file("bad.gro"))};
            show(s, line + "\r\n", 4);
            s.window->findChild<QAction*>("exportGrob")->trigger();
            QCOMPARE(s.log->messages.size(), std::size_t(1));
            QVERIFY2(s.log->messages[0].text.contains(q(parseGrobText(line).problem)),
                     qPrintable(s.log->messages[0].text));
        }
        show(s, "DUP\r\n", 1);
        s.window->findChild<QAction*>("exportGrob")->trigger();
        QVERIFY(s.log->messages.back().text.startsWith(QStringLiteral("There is no GROB")));
        QCOMPARE(s.dir.snapshot(), before);
        QVERIFY(s.log->filtersShown.isEmpty());
    }

    void ditherPicturesSpreadsAGreyOverSetAndUnsetPixels()
    {
        WindowSession s;
        QImage grey(8, 4, QImage::Format_RGB32);
        grey.fill(qRgb(100, 100, 100));
        const QString path = picture(s.dir, "grey.png", grey);
        show(s, "", 0);
        drop(s, {path});
        QCOMPARE(s.window->buffer().text(), std::string("GROB 8 4 FFFFFFFF\r\n"));
        s.window->setRememberedOption(RememberedOption::DitherPictures, true);
        show(s, "", 0);
        s.log->openAnswers = {path};
        s.window->findChild<QAction*>("importPicture")->trigger();
        const GrobTextParse dithered = parseGrobText(s.window->buffer().text());
        QVERIFY(dithered.ok());
        int dark = 0;
        for (std::uint32_t y = 0; y < 4; ++y)
            for (std::uint32_t x = 0; x < 8; ++x)
                dark += grobPixel(*dithered.grob, x, y);
        QVERIFY2(dark > 12 && dark < 26, qPrintable(QString::number(dark))); // about 61 % of 32
        QCOMPARE(s.log->filtersShown.value(0).section('|', 0, 0), QStringLiteral("Pictures"));
    }

    void theCaretTipShowsWhenTheCaretComesOntoAGrobAndGoesWhenItLeaves()
    {
        WindowSession s;
        QVERIFY(s.showActive());
        const auto* tip = s.window->findChild<QLabel*>("grobCaretTip");
        show(s, "DUP\r\n:: GROB 8 2 C35A ;\r\n", 0);
        const auto moveTo = [&](std::int64_t at) {
            s.child<SourceEditor>("text")->moveCaret(at, false);
            QTest::qWait(1);
        };
        moveTo(13);
        QTRY_VERIFY(tip->isVisible());
        QVERIFY(tip->text().endsWith(QStringLiteral("8 × 2 pixels")));
        moveTo(5);
        QVERIFY(!tip->isVisible());

        // The mouse resting on the GROB's words.
        auto* editor = s.child<SourceEditor>("text");
        const QPoint over = editor->rectForOffset(20).center();
        QHelpEvent help(QEvent::ToolTip, over, editor->viewport()->mapToGlobal(over));
        QApplication::sendEvent(editor->viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().endsWith(QStringLiteral("8 × 2 pixels")));
    }
};

QTEST_MAIN(PictureCommandsTest)
#include "picture_commands_test.moc"
