// Start-up to a shown window, and the sort buttons, over a 100,000-entry database.
#include "app/form1.h"
#include "../tests/support/entry_fixtures.h"
#include "../tests/support/recording_prompts.h"
#include "../tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace scrivlet;

namespace {

struct BigDatabase {
    fixtures::TempDir dir;
    BigDatabase()
    {
        std::vector<fixtures::FixtureEntry> rows;
        rows.reserve(100000);
        for (int i = 0; i < 100000; ++i) {
            char addr[8];
            std::snprintf(addr, sizeof addr, "%05llX", (i * 7919LL) % 0xFFFFF);
            rows.push_back({"ENTRY" + std::to_string((i * 104729LL) % 1000003), addr,
                            "( ob -> ob )%0AA description of moderate length for entry " + std::to_string(i),
                            (i * 31) % 97});
        }
        fixtures::writeEntryDatabase(dir.file("entries97.mdb"), rows);
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
    }
};

BigDatabase& database()
{
    static BigDatabase db;
    return db;
}

std::unique_ptr<Form1> startWindow()
{
    StartOptions options;
    options.prompts = std::make_unique<fixtures::RecordingPrompts>(std::make_shared<fixtures::PromptLog>());
    auto window = std::make_unique<Form1>(std::move(options));
    window->show();
    QApplication::processEvents();
    return window;
}

void BM_StartupToShownWindow100k(benchmark::State& state)
{
    database();
    for (auto _ : state) {
        auto window = startWindow();
        benchmark::DoNotOptimize(window.get());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToShownWindow100k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortButton100k(benchmark::State& state)
{
    database();
    auto window = startWindow();
    const char* buttons[] = {"Command1", "Command2", "Command3", "Command4"};
    auto* button = window->findChild<QPushButton*>(QLatin1String(buttons[state.range(0)]));
    for (auto _ : state) {
        button->click();
        QApplication::processEvents();
    }
    state.SetLabel(button->text().toStdString());
}
BENCHMARK(BM_SortButton100k)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
