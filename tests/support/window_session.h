#pragma once

#include "app/form1.h"
#include "support/entry_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

namespace scrivlet::fixtures {

// The main window started as the program starts it, in a folder of the test's own. The window
// reads the entry database from the current directory and the placement file from $windir, so
// both name that folder while the session lives and are restored after it. `prepare` fills the
// folder before the start (by default with the sample entries).
struct WindowSession {
    using Prepare = std::function<void(const TempDir&)>;
    static void withSampleEntries(const TempDir& dir)
    {
        writeEntryDatabase(dir.file("entries97.mdb"), sampleEntries());
    }

    explicit WindowSession(const Prepare& prepare = withSampleEntries)
    {
        QStandardPaths::setTestModeEnabled(true);
        prepare(dir);
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        qputenv("windir", dir.path().c_str());
        start();
    }
    ~WindowSession()
    {
        window.reset();
        QDir::setCurrent(m_previousDir);
        m_previousWindir.isNull() ? qunsetenv("windir") : qputenv("windir", m_previousWindir);
    }
    // A new window in place of the one before, as at a new start of the program.
    void start(const QString& commandLine = {})
    {
        window.reset();
        window = std::make_unique<Form1>(
            StartOptions{std::make_unique<RecordingPrompts>(log), commandLine,
                         QString::fromStdString(dir.file("options.ini"))});
    }
    bool showActive() const
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    template <typename T> T* child(const char* name) const { return window->findChild<T*>(name); }

    TempDir dir;
    std::shared_ptr<PromptLog> log = std::make_shared<PromptLog>();
    std::unique_ptr<Form1> window;
    const QString m_previousDir = QDir::currentPath();
    const QByteArray m_previousWindir = qgetenv("windir");
};

} // namespace scrivlet::fixtures
