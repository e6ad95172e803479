// Speed of the editor buffer: loading and reading whole texts, the reads one key-up makes
// (caret, word span, caret read-out) at the end of a small and of a very large text, and the
// edits the program makes (a typed key, an insertion), which must cost the same at both sizes.
#include "editor/editor_buffer.h"
#include "editor/editor_rules.h"
#include "editor/source_editor.h"
#include "qt_benchmark_main.h"

#include <QApplication>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <string>

using namespace scrivlet;

namespace {

constexpr std::int64_t kKB = 1024;
constexpr std::int64_t kMB = 1024 * kKB;

// RPL-like source of about `size` bytes, lines ended by CR LF.
std::string sourceText(std::int64_t size)
{
    static const std::string lines[] = {
        "::\r\n",
        "  CK1NOLASTWD DUP TYPEZINT? ITE\r\n",
        "    :: COERCE #2+ UNCOERCE ;\r\n",
        "    :: DROP %0 ;\r\n",
        "  \"Result: \" SWAP a%>$ &$ DISPROW1 SetDAsTemp\r\n",
        ";\r\n",
    };
    std::string text;
    text.reserve(static_cast<std::size_t>(size) + 64);
    for (std::size_t i = 0; static_cast<std::int64_t>(text.size()) < size; ++i)
        text += lines[i % std::size(lines)];
    text.resize(static_cast<std::size_t>(size));
    return text;
}

// One shown editor per text size, loaded once and shared by the read benchmarks.
struct LoadedEditor {
    SourceEditor edit;
    EditorBuffer buffer{edit};
    explicit LoadedEditor(std::int64_t size)
    {
        edit.resize(640, 480);
        edit.show();
        buffer.setText(sourceText(size));
        QApplication::processEvents();
    }
};

LoadedEditor& loaded(std::int64_t size)
{
    static std::map<std::int64_t, std::unique_ptr<LoadedEditor>> editors;
    [[maybe_unused]] static const bool closedAtEnd = (atBenchmarksEnd([] { editors.clear(); }), true);
    auto& slot = editors[size];
    if (!slot)
        slot = std::make_unique<LoadedEditor>(size);
    return *slot;
}

void BM_SetText(benchmark::State& state)
{
    const std::string text = sourceText(state.range(0));
    SourceEditor edit;
    edit.resize(640, 480);
    edit.show();
    EditorBuffer buffer(edit);
    for (auto _ : state) {
        buffer.setText(text);
        QApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(edit.model().lineCount());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Text(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.buffer.text());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_SetSelStartNearEnd(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    const std::int64_t end = editor.buffer.length();
    std::int64_t step = 0;
    for (auto _ : state) {
        editor.buffer.setSelStart(end - 10 - (step++ % 8));
        benchmark::DoNotOptimize(editor.buffer.selStart());
    }
}

void BM_SelStartNearEnd(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    editor.buffer.setSelStart(editor.buffer.length() - 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.buffer.selStart());
}

void BM_SliceNearEnd(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    const std::int64_t end = editor.buffer.length();
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.buffer.slice(end - 110, end - 8));
}

void BM_LineColumnNearEnd(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    const std::int64_t end = editor.buffer.length();
    for (auto _ : state)
        benchmark::DoNotOptimize(positionCaption(editor.buffer.lineColumn(end - 10)));
}

// What one key-up of the editor reads from the buffer: the caret and the word around it, and
// the caret read-out.
void BM_KeyUpReadsNearEnd(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    editor.buffer.setSelStart(editor.buffer.length() - 10);
    for (auto _ : state) {
        const EditorBuffer::CaretView caret = editor.buffer.caretView();
        const WordSpan span =
            findWordSpan(caret.slice, caret.sliceStart, caret.selStart, caret.length);
        benchmark::DoNotOptimize(lookupWord(caret.slice, caret.sliceStart, span));
        benchmark::DoNotOptimize(positionCaption(caret.position));
    }
}

// A key typed in the middle of the text and the next one erasing it again, as real key events,
// with the view painted after each: no key may move the text far from the caret.
void BM_TypeInTheMiddle(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    editor.buffer.setSelStart(editor.buffer.length() / 2);
    for (auto _ : state) {
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor.edit, &typed);
        editor.edit.viewport()->repaint();
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor.edit, &erase);
        editor.edit.viewport()->repaint();
    }
    state.SetLabel("two keys, two paints");
}

// Writing over one character near the end (as an insertion from the list does): select it,
// replace it, caret after it. The text keeps its length and its lines.
void BM_SetSelTextNearEnd(benchmark::State& state)
{
    LoadedEditor& editor = loaded(state.range(0));
    const std::int64_t at = editor.buffer.length() - 10;
    const char letters[] = {'A', 'B'};
    std::size_t step = 0;
    for (auto _ : state) {
        editor.buffer.setSelStart(at);
        editor.buffer.setSelLength(1);
        editor.buffer.setSelText(std::string(1, letters[step++ % 2]));
    }
}

constexpr std::int64_t kSmall = 10 * kKB;
constexpr std::int64_t kLarge = 50 * kMB;

} // namespace

BENCHMARK(BM_SetText)->Arg(10 * kMB)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Text)->Arg(10 * kMB)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SelStartNearEnd)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetSelStartNearEnd)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SliceNearEnd)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineColumnNearEnd)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyUpReadsNearEnd)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetSelTextNearEnd)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeInTheMiddle)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
