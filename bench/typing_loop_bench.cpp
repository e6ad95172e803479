// One editor key-up (word span, lookup, list selection, description, read-out) and one counted
// use, with small and large buffers and reference books. The window colours its text (with
// unknown names marked) as it does for the user: the names of the text are scanned and the
// shown lines painted before the clock runs. A typed key with its key-up and the paint that
// follows is measured as well.
#include "app/form1.h"
#include "app/typing_loop.h"
#include "editor/editor_buffer.h"
#include "editor/rpl_navigation.h"
#include "editor/source_editor.h"
#include "../tests/support/entry_fixtures.h"
#include "../tests/support/recording_prompts.h"
#include "../tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>

#include <map>

using namespace scrivlet;

namespace {

// A started window over a database of `entries` rows, its editor holding `bytes` of source with
// the caret at the end of a word that some entry begins with.
struct Setup {
    fixtures::TempDir dir;
    std::unique_ptr<Form1> window;

    Setup(int entries, std::size_t bytes)
    {
        std::vector<fixtures::FixtureEntry> rows;
        for (int i = 0; i < entries; ++i)
            rows.push_back({"NAME" + std::to_string((i * 7919) % entries), "0ABCD",
                            "( ob -> ob )%0AAn entry.", i % 50});
        fixtures::writeEntryDatabase(dir.file("entries97.mdb"), rows);
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        StartOptions options;
        options.prompts = std::make_unique<fixtures::RecordingPrompts>(std::make_shared<fixtures::PromptLog>());
        options.optionsFile = QString::fromStdString(dir.file("options.ini"));
        window = std::make_unique<Form1>(std::move(options));
        window->setRememberedOption(RememberedOption::MarkUnknownNames, true);
        window->show();
        QApplication::processEvents();

        const std::string line = "  DUP SWAP OVER :: ROT DROP ; 1 2 3 4 5 6 7 8 9\r\n";
        std::string text;
        text.reserve(bytes + line.size());
        while (text.size() + line.size() < bytes)
            text += line;
        text += "NAME12";
        window->buffer().setText(text);
        window->buffer().setSelStart(static_cast<std::int64_t>(text.size()) - 2);
        auto* editor = window->findChild<SourceEditor*>("text");
        const auto* rpl = editor->findChild<RplNavigation*>();
        if (rpl == nullptr)
            std::abort(); // the window must colour its text
        while (!rpl->namesComplete())
            QApplication::processEvents();
        editor->viewport()->repaint();
    }
};

Setup& setup(int entries, std::size_t bytes)
{
    static std::map<std::pair<int, std::size_t>, std::unique_ptr<Setup>> cache;
    auto& s = cache[{entries, bytes}];
    if (!s)
        s = std::make_unique<Setup>(entries, bytes);
    return *s;
}

void BM_EditorKeyUp(benchmark::State& state)
{
    Setup& s = setup(static_cast<int>(state.range(1)), static_cast<std::size_t>(state.range(0)));
    TypingLoop& loop = s.window->typingLoop();
    for (auto _ : state)
        loop.text_KeyUp('D');
    state.SetLabel(std::to_string(state.range(0) / 1024) + " KB text, " +
                   std::to_string(state.range(1)) + " entries");
}
BENCHMARK(BM_EditorKeyUp)
    ->ArgsProduct({{10 * 1024, 50 * 1024 * 1024}, {1000, 100000}})
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("median", [](const std::vector<double>& v) {
        auto sorted = v;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    })
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A typed letter as the user types it: the edit (with the names of its line and the pair at the
// caret), the key-up, and the paint of the shown lines; the letter is taken out again off the
// clock.
void BM_TypedKeyWithColours(benchmark::State& state)
{
    Setup& s = setup(static_cast<int>(state.range(1)), static_cast<std::size_t>(state.range(0)));
    TypingLoop& loop = s.window->typingLoop();
    SourceEditor& editor = *s.window->findChild<SourceEditor*>("text");
    for (auto _ : state) {
        s.window->buffer().setSelText("D");
        loop.text_KeyUp('D');
        editor.viewport()->repaint();
        state.PauseTiming();
        editor.undo();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(state.range(0) / 1024) + " KB text, " +
                   std::to_string(state.range(1)) + " entries");
}
BENCHMARK(BM_TypedKeyWithColours)
    ->ArgsProduct({{10 * 1024, 50 * 1024 * 1024}, {100000}})
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("median", [](const std::vector<double>& v) {
        auto sorted = v;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    })
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CountedUse(benchmark::State& state)
{
    Setup& s = setup(1000, 10 * 1024);
    EntryRecordset& rs = s.window->entries().recordset();
    rs.moveFirst();
    for (auto _ : state) {
        if (!rs.addUse().ok)
            state.SkipWithError("the count was not written");
    }
}
BENCHMARK(BM_CountedUse)->Unit(benchmark::kMillisecond);

} // namespace
