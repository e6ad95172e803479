#include "app/window_placement.h"
#include "support/temp_dir.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

#include <cstdlib>

using scrivlet::fixtures::TempDir;

namespace {

std::string file(const std::string& line2, const std::string& line4)
{
    return "[Window position x,y]\r\n" + line2 + "\r\n[Window size w,h]\r\n" + line4 + "\r\n";
}

// A placement folder of the test's own, named by windir while it lives.
struct PlacementFolder {
    TempDir dir;
    PlacementFolder() { qputenv("windir", QByteArray::fromStdString(dir.path().string())); }
    ~PlacementFolder() { qunsetenv("windir"); }
    std::string path() const { return dir.file("Kelvane.ini"); }
    void write(const std::string& bytes) const
    {
        std::ofstream(path(), std::ios::binary) << bytes;
    }
    std::string read() const { return TempDir::readBytes(path()); }
};

// A top-level window, loaded and shown the way the main window is.
std::unique_ptr<QWidget> loadedWindow()
{
    auto window = std::make_unique<QWidget>();
    scrivlet::loadposition(*window);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

QRect fallback()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int width = qRound(screen.width() * 2.0 / 3.0);
    const int height = qRound(screen.height() * 2.0 / 3.0);
    return {screen.x() + qRound((screen.width() - width) / 2.0),
            screen.y() + qRound((screen.height() - height) / 2.0), width, height};
}

} // namespace

class PlacementWindowTest : public QObject {
    Q_OBJECT

private slots:
    void fileGivesTheOuterRectangle_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QRect>("outer");
        QTest::newRow("as written") << QByteArray(file("1200,900", "9000,6000").c_str())
                                    << QRect(80, 60, 600, 400);
        QTest::newRow("extra text after line 4")
            << QByteArray((file("1500,750", "6000,4500") + "more\r\n1,2\r\n").c_str())
            << QRect(100, 50, 400, 300);
        // Negative positions are read in the rules' tests: the offscreen test platform pushes a
        // frame that would start left of or above the screen back onto it.
    }

    void fileGivesTheOuterRectangle()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QRect, outer);
        PlacementFolder folder;
        folder.write(bytes.toStdString());
        const auto window = loadedWindow();
        QVERIFY(window);
        QTRY_COMPARE(window->frameGeometry(), outer);
    }

    void anyFailureFallsBackToTwoThirdsCentred_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("letters on line 2") << QByteArray(file("abc,900", "9000,6000").c_str());
        QTest::newRow("only two lines") << QByteArray("[Window position x,y]\r\n1200,900\r\n");
        QTest::newRow("negative size") << QByteArray(file("1200,900", "-9000,6000").c_str());
        QTest::newRow("beyond the window system")
            << QByteArray(file("1200,900", "9000,600000000").c_str());
    }

    void anyFailureFallsBackToTwoThirdsCentred()
    {
        QFETCH(QByteArray, bytes);
        PlacementFolder folder;
        if (!bytes.isEmpty())
            folder.write(bytes.toStdString());
        const auto window = loadedWindow();
        QVERIFY(window);
        QTRY_COMPARE(window->frameGeometry(), fallback());
    }

    void closingAndRestartingRestoresTheSameNumbers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("normal") << QByteArray(file("1200,900", "9000,6000").c_str());
        QTest::newRow("small") << QByteArray(file("15,30", "1500,1200").c_str());
    }

    void closingAndRestartingRestoresTheSameNumbers()
    {
        QFETCH(QByteArray, bytes);
        PlacementFolder folder;
        folder.write(bytes.toStdString());
        for (int run = 0; run < 2; ++run) {
            const auto window = loadedWindow();
            QVERIFY(window);
            QTRY_VERIFY(window->frameGeometry() != window->geometry()); // framed
            scrivlet::saveposition(*window);
            QCOMPARE(QByteArray::fromStdString(folder.read()), bytes);
        }
    }

    void savesWhereTheWindowWasMovedTo()
    {
        PlacementFolder folder;
        const auto window = loadedWindow();
        QVERIFY(window);
        window->move(-30, 20);
        window->resize(300, 200);
        const QRect outer = window->frameGeometry();
        scrivlet::saveposition(*window);
        QCOMPARE(folder.read(), file(std::to_string(outer.x() * 15) + "," + std::to_string(outer.y() * 15),
                                     std::to_string(outer.width() * 15) + "," +
                                         std::to_string(outer.height() * 15)));
        QVERIFY(folder.read().find("-450,300") != std::string::npos);
    }

    void aFileThatCannotBeWrittenLeavesEverythingElseAsItWas()
    {
        PlacementFolder folder;
        folder.write(file("1200,900", "9000,6000"));
        // A folder where the file should be cannot be replaced by a file.
        TempDir other;
        std::filesystem::create_directory(other.path() / "Kelvane.ini");
        qputenv("windir", QByteArray::fromStdString(other.path().string()));
        const auto window = loadedWindow();
        QVERIFY(window);
        QTRY_COMPARE(window->frameGeometry(), fallback());
        scrivlet::saveposition(*window);
        QVERIFY(std::filesystem::is_directory(other.path() / "Kelvane.ini"));
        QCOMPARE(other.snapshot().size(), std::size_t{1});
        QCOMPARE(folder.read(), file("1200,900", "9000,6000"));
    }
};

QTEST_MAIN(PlacementWindowTest)
#include "placement_window_test.moc"
