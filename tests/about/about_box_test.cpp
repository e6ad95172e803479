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
        // Its texts are lines separated by line feeds alone.
        const QString description = child<QLabel>(*box, "description")->text();
        QCOMPARE(description.split(QLatin1Char('\n')).size(), 11);
        QVERIFY(!description.contains(QLatin1Char('\r')));
    }

    void systemInfoStartsTheToolTheRegistryNames()
    {
        // Which value names the tool is decided by rules tested on their own; here the tool
        // the registry export names (a path with a space) is really started.
        SysInfoSetup setup;
        const std::string tool = setup.program("tools/info tool");
        setup.writeRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                            "\"PATH\"=" + regString(tool) + "\r\n");
        MainWindow window;
        frmAbout& box = showAbout(window.widget, window.prompts);
        child<QPushButton>(box, "cmdSysInfo")->click();
        QTRY_VERIFY(setup.started());
        QVERIFY(window.log->messages.empty());
        QVERIFY(box.isVisible());
    }

    void systemInfoSaysWhenThereIsNoTool()
    {
        // A path naming no program: starting it fails, which ends in the same message.
        SysInfoSetup setup;
        setup.writeRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                            "\"PATH\"=\"/nonexistent/tool\"\r\n");
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
