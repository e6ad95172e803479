#include "about/frm_about.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

using namespace scrivlet;
using scrivlet::fixtures::PromptLog;
using scrivlet::fixtures::RecordingPrompts;
using scrivlet::fixtures::TempDir;

namespace {

// A plain window standing in for the main window.
struct MainWindow {
    QWidget widget;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    RecordingPrompts prompts{log};

    MainWindow()
    {
        widget.setGeometry(100, 50, 400, 300);
        widget.show();
    }
};

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup()
    {
        delete frmAbout::instance();
        qunsetenv("XDG_CONFIG_HOME");
    }

    void oneInstanceThatAboutOnlyRaisesAndThatOutlivesTheMainWindow()
    {
        MainWindow window;
        QPointer<frmAbout> first = &showAbout(window.widget, window.prompts);
        QVERIFY(!first->isModal());
        const QPoint placed = first->pos();
        window.widget.move(300, 200);
        QCOMPARE(&showAbout(window.widget, window.prompts), first.data());
        QCOMPARE(first->pos(), placed);
        QCOMPARE(frmAbout::instance(), first.data());
        // The licence it states is the program's own.
        QVERIFY(aboutDescription().contains(QStringLiteral("MIT License")) &&
                !aboutDescription().contains(QStringLiteral("unaltered")));

        // OK unloads it; the next About loads it afresh, 2000 and 1000 twips (133.3 and 66.7
        // pixels, rounded) from the main window's corner.
        first->findChild<QPushButton*>("cmdOK")->click();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(frmAbout::instance(), nullptr);
        frmAbout& second = showAbout(window.widget, window.prompts);
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.frameGeometry().topLeft(), QPoint(433, 267));

        // Closing the main window leaves it open, the only window shown.
        window.widget.close();
        QTest::qWait(20);
        QWidgetList visible;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                visible << w;
        QCOMPARE(visible, QWidgetList{&second});
    }

    void enterAndEscPressOk()
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            MainWindow window;
            QPointer<frmAbout> box = &showAbout(window.widget, window.prompts);
            QVERIFY(QTest::qWaitForWindowActive(box.data()));
            QPushButton* ok = box->findChild<QPushButton*>("cmdOK");
            QVERIFY(ok->isDefault());
            QSignalSpy pressed(ok, &QPushButton::clicked);
            QTest::keyClick(box->windowHandle(), key);
            QCOMPARE(pressed.count(), 1);
            QTRY_VERIFY(box.isNull());
            QVERIFY(window.log->messages.empty());
        }
    }

    void systemInfoStartsTheToolTheRegistryNamesOrSaysThereIsNone()
    {
        // Which value names the tool is decided by rules tested on their own; here the tool is
        // really started, and a path naming no program ends in the message.
        for (const bool installed : {true, false}) {
            TempDir config;
            const std::string tool = config.file("info tool"), mark = config.file("started");
            fixtures::writeFile(tool, "#!/bin/sh\necho started > '" + mark + "'\n");
            std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
            fixtures::writeFile(config.file("Vantor Scrivlet/registry.reg"),
                                "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared "
                                "Tools\\MSINFO]\r\n\"PATH\"=\"" +
                                    (installed ? tool : "/nonexistent/tool") + "\"\r\n");
            qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
            MainWindow window;
            frmAbout& box = showAbout(window.widget, window.prompts);
            box.findChild<QPushButton*>("cmdSysInfo")->click();
            if (installed)
                QTRY_VERIFY(std::filesystem::exists(mark));
            QCOMPARE(window.log->messages.size(), std::size_t(installed ? 0 : 1));
            QVERIFY(box.isVisible());
        }
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
