// One editor key-up (word span, lookup, list selection, description, read-out) and one counted
// use, with small and large buffers and reference books. The window colours its text (with
// unknown names marked) as it does for the user: the names of the text are scanned and the
// shown lines painted before the clock runs. A typed key with its key-up and the paint that
// follows is measured as well; the key-up also with "Names in This File First", and what keeping
// the text's word counts costs: a whole text, and one typed key.
#include "app/form1.h"
#include "app/typing_loop.h"
#include "editor/editor_buffer.h"
#include "editor/rpl_navigation.h"
#include "editor/source_editor.h"
#include "editor/text_model.h"
#include "editor/text_word_counter.h"
#include "editor/word_count_tracker.h"
#include "reference/word_pairs.h"
#include "../tests/support/entry_fixtures.h"
#include "../tests/support/recording_prompts.h"
#include "../tests/support/temp_dir.h"
#include "qt_benchmark_main.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <tuple>

using namespace scrivlet;

namespace {

// A started window over a database of `entries` rows, its editor holding `bytes` of source with
// the caret at the end of a word that some entry begins with. With the text's names, the option
// "Names in This File First" is on and the source uses 2,000 different names of the reference
// (as a large program would), all beginning with N like the word typed: the lookup weighs them
// all, and the 200 names that followed each of them (400,000 pairs in the database).
struct Setup {
    fixtures::TempDir dir;
    std::unique_ptr<Form1> window;
    double countingSeconds = 0; // the counting of the text in pieces, until complete

    Setup(int entries, std::size_t bytes, bool textNames)
    {
        std::vector<fixtures::FixtureEntry> rows;
        for (int i = 0; i < entries; ++i)
            rows.push_back({"NAME" + std::to_string((i * 7919) % entries), "0ABCD",
                            "( ob -> ob )%0AAn entry.", i % 50});
        fixtures::writeEntryDatabase(dir.file("entries97.mdb"), rows);
        if (textNames) {
            std::vector<CountedPair> pairs;
            const int used = std::min(entries, 2000);
            for (int previous = 0; previous < used; ++previous) {
                for (int next = 0; next < 200; ++next)
                    pairs.push_back({"NAME" + std::to_string(previous),
                                     "NAME" + std::to_string((previous + next * 11) % used),
                                     static_cast<std::uint64_t>(1 + next % 9)});
            }
            SqliteDatabase db(dir.file("entries97.mdb"), SqliteDatabase::OpenMode::ExistingOnly);
            SqliteTransaction transaction(db);
            addWordPairs(db, pairs);
            transaction.commit();
        }
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        StartOptions options;
        options.prompts = std::make_unique<fixtures::RecordingPrompts>(std::make_shared<fixtures::PromptLog>());
        options.optionsFile = QString::fromStdString(dir.file("options.ini"));
        window = std::make_unique<Form1>(std::move(options));
        window->setRememberedOption(RememberedOption::MarkUnknownNames, true);
        window->setRememberedOption(RememberedOption::NamesInFileFirst, textNames);
        window->show();
        QApplication::processEvents();

        std::string text;
        text.reserve(bytes + 100);
        for (int line = 0; text.size() + 100 < bytes; ++line) {
            text += "  DUP SWAP OVER :: ROT DROP ; 1 2 3 4 5 6 7 8 9";
            if (textNames)
                text += " NAME" + std::to_string((line * 37) % std::min(entries, 2000));
            text += "\r\n";
        }
        text += textNames ? "N" : "NAME12";
        window->buffer().setText(text);
        window->buffer().setSelStart(static_cast<std::int64_t>(text.size()) - (textNames ? 0 : 2));
        const auto start = std::chrono::steady_clock::now();
        const auto* words = window->findChild<WordCountTracker*>();
        while (textNames && !words->isComplete())
            QApplication::processEvents();
        countingSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        auto* editor = window->findChild<SourceEditor*>("text");
        const auto* rpl = editor->findChild<RplNavigation*>();
        if (rpl == nullptr)
            std::abort(); // the window must colour its text
        while (!rpl->namesComplete())
            QApplication::processEvents();
        editor->viewport()->repaint();
    }
};

Setup& setup(int entries, std::size_t bytes, bool textNames = false)
{
    static std::map<std::tuple<int, std::size_t, bool>, std::unique_ptr<Setup>> cache;
    [[maybe_unused]] static const bool closedAtEnd = (atBenchmarksEnd([] { cache.clear(); }), true);
    auto& s = cache[{entries, bytes, textNames}];
    if (!s)
        s = std::make_unique<Setup>(entries, bytes, textNames);
    return *s;
}

double median(const std::vector<double>& v)
{
    auto sorted = v;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
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
    ->ComputeStatistics("median", median)
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
    ->ComputeStatistics("median", median)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same key-up with "Names in This File First" on (and Tab Ends a Word, as at first), the word
// typed being N, after a name that 200 names followed.
void BM_EditorKeyUpNamesInFile(benchmark::State& state)
{
    Setup& s = setup(static_cast<int>(state.range(1)), static_cast<std::size_t>(state.range(0)), true);
    TypingLoop& loop = s.window->typingLoop();
    for (auto _ : state)
        loop.text_KeyUp('N');
    state.counters["counting_ms"] = s.countingSeconds * 1000;
    state.SetLabel(std::to_string(state.range(0) / 1024) + " KB text, " +
                   std::to_string(state.range(1)) + " entries, names in the file");
}
BENCHMARK(BM_EditorKeyUpNamesInFile)
    ->ArgsProduct({{10 * 1024, 50 * 1024 * 1024}, {1000, 100000}})
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("median", median)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One typed character and its Backspace in a 50 MB text whose words are counted: the words
// around the change are taken away and added again.
void BM_TypedKeyWithCounts(benchmark::State& state)
{
    Setup& s = setup(100000, 50 * 1024 * 1024, true);
    EditorBuffer& buffer = s.window->buffer();
    const std::int64_t end = buffer.selStart();
    for (auto _ : state) {
        buffer.setSelText("A");
        buffer.setSelStart(end);
        buffer.setSelLength(1);
        buffer.setSelText({});
    }
}
BENCHMARK(BM_TypedKeyWithCounts)->Unit(benchmark::kMicrosecond);

// Counting the words of a whole 50 MB text at once, as a file just opened would need without
// the counting in pieces.
void BM_CountWholeText(benchmark::State& state)
{
    TextModel text;
    std::string bytes;
    while (bytes.size() < 50u * 1024 * 1024)
        bytes += "  DUP SWAP OVER :: ROT DROP ; 1 2 3 4 5 6 7 8 9 NAME" +
                 std::to_string(bytes.size() % 2000) + "\r\n";
    text.setText(bytes);
    for (auto _ : state) {
        TextWordCounter counter;
        counter.countMore(text, text.length());
        benchmark::DoNotOptimize(counter.counts().distinctWords());
    }
    state.SetLabel("50 MB");
}
BENCHMARK(BM_CountWholeText)->Unit(benchmark::kMillisecond)->Iterations(3);

// One piece of the counting in pieces: how long a key may wait behind it.
void BM_CountOnePiece(benchmark::State& state)
{
    TextModel text;
    std::string bytes;
    while (bytes.size() < 8u * 1024 * 1024)
        bytes += "  DUP SWAP OVER :: ROT DROP ; 1 2 3 4 5 6 7 8 9 NAME" +
                 std::to_string(bytes.size() % 2000) + "\r\n";
    text.setText(bytes);
    TextWordCounter counter;
    for (auto _ : state) {
        counter.countMore(text, WordCountTracker::kPieceBytes);
        if (!counter.pendingFrom())
            counter.restart();
    }
}
BENCHMARK(BM_CountOnePiece)->Unit(benchmark::kMillisecond);

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
