#include "app/form1.h"
#include "editor/editor_buffer.h"
#include "support/entry_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace scrivlet;
using scrivlet::fixtures::PromptLog;
using scrivlet::fixtures::TempDir;

namespace {

// A main window started in a fresh folder that holds the given database file (or none).
struct Started {
    TempDir dir;
    QString previousDir = QDir::currentPath();
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    std::unique_ptr<Form1> window;

    explicit Started(const std::function<void(const std::string&)>& makeDatabase,
                     const QString& commandLine = {})
    {
        makeDatabase(dir.file("entries97.mdb"));
        // The window's placement file goes to the test's folder, never the user's.
        qputenv("windir", QByteArray::fromStdString(dir.path().string()));
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        StartOptions options;
        options.prompts = std::make_unique<fixtures::RecordingPrompts>(log);
        options.commandLine = commandLine;
        window = std::make_unique<Form1>(std::move(options));
    }
    ~Started()
    {
        window.reset();
        QDir::setCurrent(previousDir);
    }

    template <typename T>
    T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    QStringList listNames() const
    {
        QStringList out;
        const QAbstractItemModel* model = child<QListView>("entry")->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString();
        return out;
    }
};

void sampleDatabase(const std::string& path)
{
    fixtures::writeEntryDatabase(path, fixtures::sampleEntries());
}

QAction* action(const Form1& w, const char* name)
{
    return w.findChild<QAction*>(QLatin1String(name));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithCaptionOptionsAndListInUsageOrder()
    {
        Started s(sampleDatabase);
        QCOMPARE(s.window->positionReadout(), QStringLiteral("POS: 2,0"));
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));

        QCOMPARE(s.window->windowTitle(), QStringLiteral("Vantor Scrivlet V1.5"));
        QVERIFY(!s.window->beepOption());
        QVERIFY(s.window->autoidentOption());
        QCOMPARE(s.listNames(), QStringList({"DUP", "SWAP", "DROP", "DUPDUP", "2DROP", "a*b", "a_c", "dupx"}));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03188"));
        QCOMPARE(s.child<QLabel>("Label1")->text(), QStringLiteral("ADDR (hex)"));
        QCOMPARE(s.child<QLabel>("description")->text(), QString());
        QVERIFY(s.child<QGroupBox>("srepl")->isHidden());
        QCOMPARE(s.child<QGroupBox>("desc")->title(), QStringLiteral("Mnemonic Reference"));
        QVERIFY(s.log->messages.empty());

        QStringList bar;
        for (QAction* a : s.window->menuBar()->actions())
            if (a->isVisible())
                bar << a->text();
        QCOMPARE(bar, QStringList({"File", "Edit", "Options", "About", "POS: 2,1"}));
        QCOMPARE(s.window->buffer().selStart(), 4); // offset 5 lies inside a line break: the caret ends the line
        QCOMPARE(action(*s.window, "file3")->text(), QStringLiteral("Save As"));
        QVERIFY(action(*s.window, "file4")->isSeparator());
    }

    void optionsToggleOnlyThemselves()
    {
        Started s(sampleDatabase);
        QAction* beep = action(*s.window, "options1");
        QAction* autoident = action(*s.window, "options2");
        beep->trigger();
        QVERIFY(s.window->beepOption());
        QVERIFY(s.window->autoidentOption());
        beep->trigger();
        QVERIFY(!s.window->beepOption());
        autoident->trigger();
        QVERIFY(!s.window->autoidentOption());
        QVERIFY(!s.window->beepOption());

        // Every start begins with Beep off and Autoident on.
        Started again(sampleDatabase);
        QVERIFY(!again.window->beepOption());
        QVERIFY(again.window->autoidentOption());
    }

    void positionItemDoesNothing()
    {
        Started s(sampleDatabase);
        s.window->show();
        const QString before = s.window->positionReadout();
        action(*s.window, "pos5")->trigger();
        QCOMPARE(s.window->positionReadout(), before);
        QVERIFY(s.window->isVisible());
        QVERIFY(s.log->messages.empty());
    }

    void resizeFollowsTheLayoutRule()
    {
        Started s(sampleDatabase);
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        auto* text = s.child<QPlainTextEdit>("text");
        auto* desc = s.child<QGroupBox>("desc");
        auto* entry = s.child<QListView>("entry");

        s.window->resize(700, 500);
        QApplication::processEvents();
        const QRect t0 = text->geometry(), d0 = desc->geometry();
        const int e0 = entry->height();
        QCOMPARE(t0.left(), 13);
        QCOMPARE(t0.top(), 6);
        QCOMPARE(d0.width(), 192);
        QCOMPARE(t0.right() + 1, d0.left());
        QCOMPARE(d0.top(), -2);
        QCOMPARE(entry->y(), 139);

        const int n = 37;
        s.window->resize(700 + n, 500 + n);
        QApplication::processEvents();
        QCOMPARE(text->width(), t0.width() + n);
        QCOMPARE(text->height(), t0.height() + n);
        QCOMPARE(desc->x(), d0.x() + n);
        QCOMPARE(desc->width(), 192);
        QCOMPARE(desc->height(), d0.height() + n);
        QCOMPARE(entry->height(), e0 + n);

        // A client area too small for the panel: sizes clamp at zero, nothing fails.
        s.window->resize(60, 40);
        QApplication::processEvents();
        QVERIFY(text->width() >= 0 && text->height() >= 0 && entry->height() >= 0);
        s.window->showMinimized();
        QApplication::processEvents();
    }

    void badDatabasesGiveOneMessageAndAnEmptyList_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("missing") << 0;
        QTest::newRow("zero bytes") << 1;
        QTest::newRow("not sqlite") << 2;
        QTest::newRow("no table") << 3;
        QTest::newRow("no usg column") << 4;
    }

    void badDatabasesGiveOneMessageAndAnEmptyList()
    {
        QFETCH(int, kind);
        Started s([kind](const std::string& path) {
            switch (kind) {
            case 1: std::ofstream(path, std::ios::binary); break;
            case 2: std::ofstream(path, std::ios::binary) << "not a database at all"; break;
            case 3: SqliteDatabase(path, SqliteDatabase::OpenMode::CreateIfMissing).exec("CREATE TABLE t(x)"); break;
            case 4:
                SqliteDatabase(path, SqliteDatabase::OpenMode::CreateIfMissing)
                    .exec("CREATE TABLE entries(id INTEGER PRIMARY KEY, name, addr, description)");
                break;
            default: break;
            }
        });
        QCOMPARE(int(s.log->messages.size()), 1);
        QVERIFY(s.log->messages[0].text.contains(QStringLiteral("entries97.mdb")));
        QCOMPARE(s.log->messages[0].title, QStringLiteral("Vantor Scrivlet Database"));
        QVERIFY(s.listNames().isEmpty());
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("IDENTIFIED ENTRY"));

        // A sort button on the same file says so again, once.
        const auto before = s.dir.snapshot();
        s.child<QPushButton>("Command1")->click();
        QCOMPARE(int(s.log->messages.size()), 2);
        QVERIFY(s.listNames().isEmpty());
        QCOMPARE(s.dir.snapshot(), before);
        if (kind == 0)
            QVERIFY(!QFile::exists(QStringLiteral("entries97.mdb")));
    }

    void sortButtonsReorderFromTheStartDirectory()
    {
        Started s(sampleDatabase);
        const QString startdir = s.window->startdir();
        // A file dialog may change the current directory; the buttons still use the start one.
        QDir::setCurrent(QDir::tempPath());
        s.child<QPushButton>("Command1")->click();
        QCOMPARE(s.listNames(), QStringList({"2DROP", "a*b", "a_c", "DROP", "DUP", "DUPDUP", "dupx", "SWAP"}));
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("03258"));
        s.child<QPushButton>("Command3")->click();
        QCOMPARE(s.listNames().first(), QStringLiteral("a*b"));
        s.child<QPushButton>("Command4")->click();
        QCOMPARE(s.listNames().last(), QStringLiteral("DUPDUP"));
        s.child<QPushButton>("Command2")->click();
        QCOMPARE(s.listNames().first(), QStringLiteral("DUP"));
        QVERIFY(s.log->messages.empty());
        QCOMPARE(s.window->entries().databasePath(), startdir.toStdString() + "/entries97.mdb");
        QDir::setCurrent(startdir);
    }

    void usesKeptWhileTheDatabaseIsBusyShowOnTheBarAndAreToldAtClose()
    {
        Started s(sampleDatabase);
        s.window->entries().setUseWait(std::chrono::milliseconds(50));
        SqliteDatabase other(s.dir.file("entries97.mdb"), SqliteDatabase::OpenMode::ExistingOnly);
        other.exec("BEGIN IMMEDIATE");
        QVERIFY(s.window->entries().recordset().addUse().waiting);
        QVERIFY(action(*s.window, "usesWaiting")->isVisible());
        QCOMPARE(action(*s.window, "usesWaiting")->text(), QStringLiteral("Uses waiting: 1"));
        QVERIFY(s.window->close());
        QCOMPARE(int(s.log->messages.size()), 1);
        QVERIFY(s.log->messages[0].text.startsWith(QStringLiteral("1 use of an entry could not be counted in ")));
        other.exec("COMMIT");
    }

    void emptyTableGivesEmptyListAndNoCurrentRow()
    {
        Started s([](const std::string& path) { fixtures::writeEntryDatabase(path, {}); });
        QVERIFY(s.listNames().isEmpty());
        QVERIFY(s.window->entries().recordset().eof());
        QCOMPARE(s.child<QLabel>("addr")->text(), QStringLiteral("IDENTIFIED ENTRY"));
        QVERIFY(s.log->messages.empty());
    }

    void commandLineFileOpensAtTheFirstActivationOnly()
    {
        fixtures::TempDir files;
        std::filesystem::create_directories(files.path() / "My Files");
        const std::string path = (files.path() / "My Files" / "prog.rpl").string();
        std::ofstream(path, std::ios::binary) << "::\n  DUP\r\n;";
        Started s(sampleDatabase, QString::fromStdString(path));
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Vantor Scrivlet V1.5 - ") + QString::fromStdString(path));
        QCOMPARE(s.window->buffer().text(), std::string("::\r\n  DUP\r\n;"));

        // Another activation (switching away and back) neither moves the caret nor reloads.
        s.window->buffer().setSelText("x");
        const std::int64_t caret = s.window->buffer().selStart();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(s.window.get(), &activate);
        QCOMPARE(s.window->buffer().text(), std::string("x::\r\n  DUP\r\n;"));
        QCOMPARE(s.window->buffer().selStart(), caret);
    }

    void aMissingCommandLineFileSaysSoAndKeepsTheStartupText()
    {
        Started s(sampleDatabase, QStringLiteral("/nonexistent/prog.rpl"));
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        QCOMPARE(int(s.log->messages.size()), 1);
        QVERIFY(s.log->messages[0].text.contains(QStringLiteral("/nonexistent/prog.rpl")));
        QCOMPARE(s.window->buffer().text(), std::string("::\r\n\r\n;\r\n@\r\n"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Vantor Scrivlet V1.5"));
    }

    void fileMenuNewAndExitAskBeforeDroppingChangedText()
    {
        Started s(sampleDatabase);
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        s.window->buffer().setSelText("DUP");

        s.log->saveAnswers = {UserPrompts::SaveChoice::Cancel};
        action(*s.window, "file5")->trigger();
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.log->saveQuestions, 1);
        QVERIFY(s.window->buffer().text().find("DUP") != std::string::npos);

        s.log->saveAnswers = {UserPrompts::SaveChoice::Discard};
        action(*s.window, "file1")->trigger();
        QCOMPARE(s.window->buffer().text(), std::string("::\r\n\r\n;\r\n@"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Vantor Scrivlet V1.5"));

        action(*s.window, "file5")->trigger(); // nothing changed since New: no question
        QCOMPARE(s.log->saveQuestions, 2);
        QVERIFY(!s.window->isVisible());
    }

    void editMenuAndF3OpenTheSearchFrame()
    {
        Started s(sampleDatabase);
        s.window->show();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        action(*s.window, "edit2")->trigger();
        QVERIFY(s.child<QGroupBox>("srepl")->isVisible());
        QVERIFY(s.child<QLineEdit>("sr")->hasFocus());
        s.child<QPushButton>("Command7")->click();
        QVERIFY(!s.child<QGroupBox>("srepl")->isVisible());
        QVERIFY(s.child<QPlainTextEdit>("text")->hasFocus());
        QTest::keyClick(s.window->windowHandle(), Qt::Key_F3);
        QVERIFY(s.child<QGroupBox>("srepl")->isVisible());
        QVERIFY(s.log->messages.empty()); // showing the frame searches nothing
    }

    void exitClosesTheWindow()
    {
        Started s(sampleDatabase);
        s.window->show();
        action(*s.window, "file5")->trigger();
        QVERIFY(!s.window->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
