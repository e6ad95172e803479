// The Calculator menu over pseudo-terminals: gkermit receives what Send to Calculator sends, a
// C-Kermit server plays the calculator for Get and Finish Server, and a line nobody answers or
// a port that is not there ends in one message naming the port.
#include "app/calculator_menu.h"
#include "app/connection_dialog.h"
#include "app/object_command.h"
#include "editor/editor_buffer.h"
#include "files/line_ends.h"
#include "link/pty_lab.h"
#include "support/window_session.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <sstream>

using namespace scrivlet;
using fixtures::TempDir;
using fixtures::WindowSession;
using namespace scrivlet::testing;

namespace {

const std::string kPair = std::string(SCRIVLET_OBJECTS_DIR) + "/hptx/49g-P";

// A window reading the built entry database whose connection is `port` at 115200 baud.
WindowSession::Prepare withConnection(const std::string& port)
{
    return [port](const TempDir& dir) {
        std::filesystem::copy_file(SCRIVLET_BUILT_DATABASE, dir.file("entries97.mdb"));
        OptionsStore(QString::fromStdString(dir.file("options.ini")))
            .setConnection({QString::fromStdString(port), 115200, false, 3});
    };
}

CalculatorMenu& menuOf(const WindowSession& s)
{
    return *s.window->findChild<CalculatorMenu*>();
}

std::string objectCommand(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    runObjectCommand(arguments, out, err);
    return out.str();
}

QString lastMessage(const WindowSession& s)
{
    return s.log->messages.empty() ? QString() : s.log->messages.back().text;
}

} // namespace

class CalculatorMenuTest : public QObject {
    Q_OBJECT

  private slots:
    // The object sent is the one --compile writes; "Send as text" sends the file Save for
    // Calculator writes.
    void sendsTheCompiledObjectOrTheCalculatorText()
    {
        if (!installed("gkermit") || !installed("socat"))
            QSKIP("gkermit and socat are needed");
        TempDir lines;
        Lab lab(lines.path().string());
        WindowSession s(withConnection(lab.oursPath()));
        QStringList bar;
        for (QAction* a : s.window->menuBar()->actions())
            bar << a->text();
        QVERIFY(bar.indexOf("Calculator") == bar.indexOf("About") - 1);
        std::string source = "%%HP: T(3)A(R)F(.);\n\\<<";
        for (int i = 0; i < 200; ++i) // several data packets
            source += " " + std::to_string(i * 37) + " DUP";
        fixtures::writeFile(s.dir.file("P.txt"), source + " \\>>\n");
        s.log->openAnswers.push_back(QString::fromStdString(s.dir.file("P.txt")));
        s.window->findChild<QAction*>("file2")->trigger();
        objectCommand({"--compile", s.dir.file("P.txt"), "-o", s.dir.file("cli.hp"), "--database",
                       SCRIVLET_BUILT_DATABASE});
        const std::string object = TempDir::readBytes(s.dir.file("cli.hp"));
        QVERIFY(object.size() > 500);

        TempDir peer;
        pid_t gk = startProgram({"gkermit", "-i", "-P", "-q", "-r"}, peer.path(), lab.theirs());
        QVERIFY(menuOf(s).sendText("P", false));
        QCOMPARE(finishProgram(gk, 10), 0);
        QVERIFY(TempDir::readBytes(peer.file("P")) == object);
        QCOMPARE(lastMessage(s), QString("Sent P (%1 bytes) to %2")
                                     .arg(object.size())
                                     .arg(QString::fromStdString(lab.oursPath())));

        s.log->saveAsAnswers.push_back(QString::fromStdString(s.dir.file("forCalc.txt")));
        s.window->findChild<QAction*>("saveForCalculator")->trigger();
        gk = startProgram({"gkermit", "-i", "-P", "-q", "-r"}, peer.path(), lab.theirs());
        QVERIFY(menuOf(s).sendText("PT", true));
        QCOMPARE(finishProgram(gk, 10), 0);
        QVERIFY(TempDir::readBytes(peer.file("PT")) ==
                TempDir::readBytes(s.dir.file("forCalc.txt")));
    }

    // Get from Calculator writes the variable to the chosen file and opens it as --decompile
    // shows it; Finish Server ends the server.
    void getsAVariableAndFinishesTheServer()
    {
        if (!installed("kermit") || !installed("socat"))
            QSKIP("C-Kermit and socat are needed");
        TempDir lines;
        Lab lab(lines.path().string());
        WindowSession s(withConnection(lab.oursPath()));
        TempDir calculator;
        fixtures::writeFile(calculator.file("PRG"), TempDir::readBytes(kPair + ".hp"));
        const pid_t server = startProgram(
            {"kermit", "-Y", "-B", "-q", "-l", lab.theirs(), "-b", "115200", "-i", "-P", "-C",
             "set carrier-watch off,set flow none,set file names literal", "-x"},
            calculator.path());
        QVERIFY(menuOf(s).getVariable("PRG", QString::fromStdString(s.dir.file("got.hp"))));
        QVERIFY(TempDir::readBytes(s.dir.file("got.hp")) == TempDir::readBytes(kPair + ".hp"));
        QVERIFY(toDiskLineEnds(s.window->buffer().text()) ==
                objectCommand(
                    {"--decompile", s.dir.file("got.hp"), "--database", SCRIVLET_BUILT_DATABASE}));
        QVERIFY(s.window->windowTitle().contains("got.hp"));

        QVERIFY(!menuOf(s).getVariable("NONE", QString::fromStdString(s.dir.file("none.hp"))));
        QVERIFY(!std::filesystem::exists(s.dir.file("none.hp")));
        QVERIFY(lastMessage(s).startsWith(QString::fromStdString(lab.oursPath()) +
                                          ": the other side cancelled"));
        QVERIFY(menuOf(s).finishServer());
        QCOMPARE(finishProgram(server, 5), 0);
    }

    // Failures send nothing and say in one line what went wrong and where.
    void failuresSayWhatAndWhere()
    {
        TempDir lines;
        Lab lab(lines.path().string());
        WindowSession s(withConnection(lines.file("ttyUSB9")));
        CalculatorMenu& menu = menuOf(s);
        fixtures::writeFile(s.dir.file("a.bin"), "abc");
        const QStringList file{QString::fromStdString(s.dir.file("a.bin"))};
        QVERIFY(!menu.sendFiles(file));
        QCOMPARE(lastMessage(s), QString::fromStdString(lines.file("ttyUSB9") + ": no such port"));

        s.window->buffer().setText("\xAB 1 +");
        QVERIFY(!menu.sendText("P", false));
        QVERIFY(lastMessage(s).startsWith("Nothing was sent: the text does not compile"));

        OptionsStore(QString::fromStdString(s.dir.file("options.ini")))
            .setConnection({QString::fromStdString(lab.oursPath()), 115200, false, 1});
        s.start(); // the window reads the connection anew
        menuOf(s).setTiming({100, 2});
        QVERIFY(!menuOf(s).sendFiles(file));
        QCOMPARE(lastMessage(s), QString::fromStdString(lab.oursPath()) +
                                     ": no answer within 1 s (is the calculator in server mode?)");

        menuOf(s).setTiming({5000, 10}); // Cancel stops a transfer that would wait 50 s
        QString counts;
        QTimer::singleShot(300, [&counts] {
            counts =
                QApplication::activeModalWidget()->findChild<QLabel*>("transferCounts")->text();
            QApplication::activeModalWidget()->findChild<QPushButton*>("transferCancel")->click();
        });
        QVERIFY(!menuOf(s).sendFiles(file));
        QCOMPARE(counts, QString("Bytes: 0, packets: 1, retries: 0"));
        QCOMPARE(lastMessage(s), QString::fromStdString(lab.oursPath()) + ": transfer cancelled");
    }

    // The connection is remembered; values it cannot use read as the defaults. The ports offered
    // are the serial devices present, USB first, in number order.
    void connectionIsRememberedAndPortsListed()
    {
        TempDir dir;
        const QString ini = QString::fromStdString(dir.file("options.ini"));
        QCOMPARE(OptionsStore(ini).connection().port, QString("/dev/ttyUSB0"));
        OptionsStore(ini).setConnection({"/dev/ttyACM1", 57600, true, 2});
        const ConnectionSettings back = OptionsStore(ini).connection();
        QVERIFY(back.port == "/dev/ttyACM1" && back.speed == 57600 && back.xmodem &&
                back.checkType == 2);
        OptionsStore(ini).setConnection({"/dev/ttyS0", 1234, false, 7});
        const ConnectionSettings odd = OptionsStore(ini).connection();
        QVERIFY(odd.speed == 9600 && odd.checkType == 3 && !odd.xmodem);

        for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyS1", "ttyACM0", "tty0", "null"})
            fixtures::writeFile(dir.file(name), {});
        const QString d = QString::fromStdString(dir.path().string());
        QCOMPARE(serialPortsPresent(d),
                 QStringList({d + "/ttyUSB2", d + "/ttyUSB10", d + "/ttyACM0", d + "/ttyS1"}));
    }
};

QTEST_MAIN(CalculatorMenuTest)
#include "calculator_menu_test.moc"
