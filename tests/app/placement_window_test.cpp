#include "support/window_session.h"

#include <QGuiApplication>
#include <QScreen>
#include <fstream>

using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::WindowSession;

namespace {

std::string file(const std::string& line2, const std::string& line4)
{
    return "[Window position x,y]\r\n" + line2 + "\r\n[Window size w,h]\r\n" + line4 + "\r\n";
}

WindowSession::Prepare placementFile(const std::string& bytes)
{
    return [bytes](const TempDir& dir) {
        WindowSession::withSampleEntries(dir);
        std::ofstream(dir.file("Kelvane.ini"), std::ios::binary) << bytes;
    };
}

} // namespace

class PlacementWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void theFileGivesTheOuterRectangleAndClosingWritesItBack()
    {
        WindowSession s(placementFile(file("1200,900", "9000,6000")));
        QVERIFY(s.showActive());
        QTRY_COMPARE(s.window->frameGeometry(), QRect(80, 60, 600, 400));
        s.window->move(s.window->pos() + QPoint(20, 10));
        const QRect moved = s.window->frameGeometry();
        QVERIFY(s.window->close());
        QCOMPARE(TempDir::readBytes(s.dir.file("Kelvane.ini")),
                 file(std::to_string(moved.x() * 15) + "," + std::to_string(moved.y() * 15),
                      "9000,6000"));
        s.start();
        QVERIFY(s.showActive());
        QTRY_COMPARE(s.window->frameGeometry(), moved);
    }

    void aBrokenFileFallsBackToTwoThirdsCentredAndAFolderInItsPlaceIsKept()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize size(qRound(screen.width() * 2.0 / 3.0), qRound(screen.height() * 2.0 / 3.0));
        const QPoint offset(qRound((screen.width() - size.width()) / 2.0),
                            qRound((screen.height() - size.height()) / 2.0));
        const QRect fallback(screen.topLeft() + offset, size);
        WindowSession s(placementFile(file("abc,900", "9000,6000")));
        QVERIFY(s.showActive());
        QTRY_COMPARE(s.window->frameGeometry(), fallback);
        std::filesystem::remove(s.dir.path() / "Kelvane.ini");
        std::filesystem::create_directory(s.dir.path() / "Kelvane.ini");
        QVERIFY(s.window->close()); // although the file cannot be written
        QVERIFY(std::filesystem::is_directory(s.dir.path() / "Kelvane.ini"));
    }
};

QTEST_MAIN(PlacementWindowTest)
#include "placement_window_test.moc"
