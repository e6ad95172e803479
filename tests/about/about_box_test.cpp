#include "about/frm_about.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace scrivlet;
using scrivlet::fixtures::PromptLog;
using scrivlet::fixtures::RecordingPrompts;
using scrivlet::fixtures::TempDir;

namespace {

// A plain window standing in for the main window, shown at a given place.
struct MainWindow {
    QWidget widget;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    RecordingPrompts prompts{log};

    explicit MainWindow(QPoint at = {100, 50})
    {
        widget.resize(400, 300);
        widget.move(at);
        widget.show();
    }
};

// A configuration folder and a program search path of the test's own, for the system
// information launcher; a program the test writes leaves a mark when it runs.
struct SysInfoSetup {
    TempDir dir;
    QByteArray oldPath = qgetenv("PATH");

    SysInfoSetup()
    {
        std::filesystem::create_directories(dir.path() / "bin");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path().string()));
        qputenv("PATH", QByteArray::fromStdString((dir.path() / "bin").string()));
    }
    ~SysInfoSetup()
    {
        qputenv("PATH", oldPath);
        qunsetenv("XDG_CONFIG_HOME");
    }
    void writeRegistry(const std::string& body) const
    {
        std::filesystem::create_directories(dir.path() / "Vantor Scrivlet");
        std::ofstream(dir.path() / "Vantor Scrivlet" / "registry.reg", std::ios::binary)
            << "REGEDIT4\r\n\r\n" << body;
    }
    // A program that writes its mark file when started.
    std::string program(const std::string& relative) const
    {
        const auto path = dir.path() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\necho started > '" << mark() << "'\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path.string();
    }
    std::string mark() const { return dir.file("started"); }
    bool started() const { return std::filesystem::exists(mark()); }
};

std::string regString(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return "\"" + out + "\"";
}

template <typename T>
T* child(QWidget& box, const char* name)
{
    return box.findChild<T*>(QLatin1String(name));
}

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { delete frmAbout::instance(); }

    void opensBesideTheMainWindowsCorner_data()
    {
        QTest::addColumn<QPoint>("main");
        QTest::addColumn<QPoint>("box");
        // 2000 and 1000 twips are 133.3 and 66.7 pixels; positions are rounded to pixels.
        QTest::newRow("ordinary") << QPoint(100, 50) << QPoint(233, 117);
        QTest::newRow("rounding") << QPoint(1, 1) << QPoint(134, 68);
        QTest::newRow("partly off the screen") << QPoint(700, 550) << QPoint(833, 617);
    }

    void opensBesideTheMainWindowsCorner()
    {
        QFETCH(QPoint, main);
        QFETCH(QPoint, box);
        MainWindow window(main);
        QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
        QCOMPARE(window.widget.frameGeometry().topLeft(), main);
        frmAbout& about = showAbout(window.widget, window.prompts);
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.frameGeometry().topLeft(), box);
        QVERIFY(!about.isModal());
    }

    void oneInstanceThatAboutOnlyRaises()
    {
        MainWindow window;
        QPointer<frmAbout> first = &showAbout(window.widget, window.prompts);
        const QPoint placed = first->pos();
        window.widget.move(300, 200);
        QCOMPARE(&showAbout(window.widget, window.prompts), first.data());
        QCOMPARE(first->pos(), placed);
        QCOMPARE(frmAbout::instance(), first.data());
        int boxes = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            boxes += qobject_cast<frmAbout*>(w) && w->isVisible() ? 1 : 0;
        QCOMPARE(boxes, 1);

        // OK unloads it; the next About loads and places it afresh.
        child<QPushButton>(*first, "cmdOK")->click();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(frmAbout::instance(), nullptr);
        frmAbout& second = showAbout(window.widget, window.prompts);
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.frameGeometry().topLeft(), QPoint(433, 267));
    }

    void enterAndEscPressOk_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }

    void enterAndEscPressOk()
    {
        QFETCH(int, key);
        MainWindow window;
        QPointer<frmAbout> box = &showAbout(window.widget, window.prompts);
        QVERIFY(QTest::qWaitForWindowActive(box.data()));
        QPushButton* ok = child<QPushButton>(*box, "cmdOK");
        QVERIFY(ok->isDefault());
        QSignalSpy pressed(ok, &QPushButton::clicked);
        QTest::keyClick(box->windowHandle(), Qt::Key(key));
        QCOMPARE(pressed.count(), 1);
        QTRY_VERIFY(box.isNull());
        QVERIFY(window.log->messages.empty());
    }

    void otherKeysLeaveItOpen()
    {
        MainWindow window;
        QPointer<frmAbout> box = &showAbout(window.widget, window.prompts);
        QVERIFY(QTest::qWaitForWindowActive(box.data()));
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape, Qt::ShiftModifier);
        QTest::keyClick(box->windowHandle(), Qt::Key_A);
        QTest::qWait(20);
        QVERIFY(box && box->isVisible());
    }

    void closingTheMainWindowLeavesItOpen()
    {
        MainWindow window;
        QPointer<frmAbout> box = &showAbout(window.widget, window.prompts);
        window.widget.close();
        QTest::qWait(20);
        QVERIFY(box && box->isVisible());
        QWidgetList visible;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                visible << w;
        QCOMPARE(visible, QWidgetList{box.data()});
    }

    void goesWhenTheMainWindowIsDestroyed()
    {
        QPointer<frmAbout> box;
        {
            MainWindow window;
            box = &showAbout(window.widget, window.prompts);
        }
        QTRY_VERIFY(box.isNull());
    }

    void windowAndControls()
    {
        MainWindow window;
        frmAbout& box = showAbout(window.widget, window.prompts);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Scrivlet"));
        QCOMPARE(box.size(), QSize(382, 248));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(box.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!box.windowIcon().isNull());
        QVERIFY(box.parentWidget() == nullptr);

        const struct {
            const char* name;
            QRect rect;
        } controls[] = {
            {"cmdOK", {299, 199, 76, 23}},       {"cmdSysInfo", {299, 226, 76, 18}},
            {"Image2", {9, 25, 65, 103}},        {"Image1", {23, 119, 32, 32}},
            {"Shape1", {3, 2, 77, 192}},         {"description", {79, 2, 299, 191}},
            {"author", {8, 200, 275, 46}},       {"Line1_1", {6, 195, 371, 1}},
            {"Line1_0", {7, 196, 370, 2}},
        };
        for (const auto& c : controls) {
            QWidget* w = child<QWidget>(box, c.name);
            QVERIFY2(w, c.name);
            QCOMPARE(w->geometry(), c.rect);
        }
        QCOMPARE(child<QPushButton>(box, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(child<QPushButton>(box, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
        QCOMPARE(child<QLabel>(box, "Image2")->pixmap().size(), QSize(65, 103));
        QCOMPARE(child<QLabel>(box, "Image1")->pixmap().size(), QSize(32, 32));

        // The shape lies behind the pictures; the separator is grey over white.
        const QObjectList order = box.children();
        QVERIFY(order.indexOf(child<QWidget>(box, "Shape1")) < order.indexOf(child<QWidget>(box, "Image2")));
        QVERIFY(order.indexOf(child<QWidget>(box, "Shape1")) < order.indexOf(child<QWidget>(box, "Image1")));
        const QImage shot = box.grab().toImage();
        QCOMPARE(shot.pixelColor(100, 195), QColor(0x80, 0x80, 0x80));
        QCOMPARE(shot.pixelColor(100, 196), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(100, 197), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(5, 5), box.palette().color(QPalette::Base));
    }

    void textsAreSeparatedByLineFeedsAlone()
    {
        MainWindow window;
        frmAbout& box = showAbout(window.widget, window.prompts);
        const QString description = child<QLabel>(box, "description")->text();
        const QString author = child<QLabel>(box, "author")->text();
        QCOMPARE(description, aboutDescription());
        QCOMPARE(author, aboutAuthor());
        QVERIFY(!description.contains(QLatin1Char('\r')));
        QVERIFY(!author.contains(QLatin1Char('\r')));

        const QStringList lines = description.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[0], QStringLiteral("Vantor Scrivlet V1.5"));
        QCOMPARE(lines[1], QStringLiteral("- RPL reference book and RPL code editor -"));
        QVERIFY(lines[2].startsWith(QStringLiteral("    ")) && lines[2].size() > 20 &&
                lines[2][4] != QLatin1Char(' '));
        QCOMPARE(lines[3], QStringLiteral("Built in reference book makes it a great tool for beginners "
                                          "as well as experienced RPL programmers."));
        QCOMPARE(lines[4], QString());
        QVERIFY(lines[5].endsWith(QLatin1Char(':')));
        QVERIFY(lines[6].startsWith(QStringLiteral("https://")));
        QCOMPARE(lines[7], QString());
        QVERIFY(!lines[8].isEmpty());
        QCOMPARE(lines[9], QStringLiteral("NO WARRANTIES NOR GUARANTIES PROVIDED"));
        QCOMPARE(lines[10], QStringLiteral("- USE AT YOUR OWN RISC"));

        const QStringList credits = author.split(QLatin1Char('\n'));
        QCOMPARE(credits.size(), 3);
        QVERIFY(credits[0].endsWith(QStringLiteral("December 2026")));
        QVERIFY(credits[1].contains(QStringLiteral("https://")));
        QVERIFY(credits[2].contains(QStringLiteral("https://")));
    }

    void systemInfoStartsTheToolTheRegistryNames_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("MSINFO PATH") << "path";
        QTest::newRow("Shared Tools Location folder") << "folder";
        QTest::newRow("the desktop's own program") << "desktop";
    }

    void systemInfoStartsTheToolTheRegistryNames()
    {
        QFETCH(QString, how);
        SysInfoSetup setup;
        if (how == QLatin1String("path")) {
            const std::string tool = setup.program("tools/info tool");
            setup.writeRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                                "\"PATH\"=" + regString(tool) + "\r\n");
        } else if (how == QLatin1String("folder")) {
            setup.program("msinfo/MSINFO32.EXE");
            setup.writeRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n"
                                "\"MSINFO\"=" + regString(setup.dir.file("msinfo")) + "\r\n");
        } else {
            setup.program("bin/kinfocenter");
        }
        MainWindow window;
        frmAbout& box = showAbout(window.widget, window.prompts);
        child<QPushButton>(box, "cmdSysInfo")->click();
        QTRY_VERIFY(setup.started());
        QVERIFY(window.log->messages.empty());
        QVERIFY(box.isVisible());
    }

    void systemInfoSaysWhenThereIsNoTool_data()
    {
        QTest::addColumn<QByteArray>("registry");
        QTest::newRow("no registry file, no desktop program") << QByteArray();
        QTest::newRow("both values absent")
            << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools]\r\n\"x\"=\"y\"\r\n");
        QTest::newRow("folder without MSINFO32.EXE")
            << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n"
                          "\"MSINFO\"=\"/nonexistent/folder\"\r\n");
        QTest::newRow("path naming no program")
            << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                          "\"PATH\"=\"/nonexistent/tool\"\r\n");
        QTest::newRow("path without bytes")
            << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                          "\"PATH\"=hex(1):\r\n");
        QTest::newRow("path with a NUL inside")
            << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                          "\"PATH\"=hex(1):2f,62,69,6e,2f,73,68,00,78,00\r\n");
    }

    void systemInfoSaysWhenThereIsNoTool()
    {
        QFETCH(QByteArray, registry);
        SysInfoSetup setup;
        if (!registry.isEmpty())
            setup.writeRegistry(registry.toStdString());
        MainWindow window;
        frmAbout& box = showAbout(window.widget, window.prompts);
        child<QPushButton>(box, "cmdSysInfo")->click();
        QCOMPARE(window.log->messages.size(), std::size_t{1});
        QCOMPARE(window.log->messages[0].title, QStringLiteral("Vantor Scrivlet"));
        QCOMPARE(window.log->messages[0].text,
                 QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(window.log->messages[0].icon, UserPrompts::Icon::None);
        QVERIFY(box.isVisible());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
