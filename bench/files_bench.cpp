// Opening a 10 MB source to a shown, painted window (budget: under 1 s), saving it, and dropping
// a GROB file whose line has a million characters (budget: under 50 ms in the editor), through
// the file commands on a real editor pane coloured by its RPL view (as the program's window
// has it), and the byte work alone for comparison.
//
//   cmake --preset release -DSCRIVLET_BUILD_BENCH=ON
//   cmake --build --preset release --target files_bench
//   ./build/release/bench/files_bench

#include "../tests/support/recording_prompts.h"
#include "editor/editor_buffer.h"
#include "editor/rpl_navigation.h"
#include "editor/source_editor.h"
#include "files/build_commands.h"
#include "files/file_commands.h"
#include "files/problem_pane.h"
#include "common/file_io.h"
#include "calculator/grob.h"
#include "files/line_ends.h"

#include <QApplication>
#include <QMainWindow>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

// A source of about `bytes` bytes: indented lines of RPL words, 25 bytes long on average,
// ended by LF with a CR LF every so often.
std::string sourceText(std::size_t bytes)
{
    static const char* const words[] = {
        "DUP", "SWAP", "DROP",  "ROT",     "OVER", "BINT5", "%1",     "%+",     "ITE",  "::",   ";",
        "#>",  "CAR",  "2DROP", "NULLLAM", "BIND", "ABND",  "GETLAM", "PUTLAM", "TRUE", "FALSE"};
    std::mt19937 random(1);
    std::string text;
    text.reserve(bytes + 128);
    for (std::size_t line = 0; text.size() < bytes; ++line) {
        text.append(2 * (random() % 5), ' ');
        for (unsigned w = 0, n = 1 + random() % 8; w < n; ++w) {
            if (w > 0)
                text += ' ';
            text += words[random() % 21];
        }
        text += (line % 11 == 0) ? "\r\n" : "\n";
    }
    return text;
}

// A GROB file whose length field announces the most data it can: 524280 bytes.
std::string largestGrob()
{
    std::string file = "HPHP49-C";
    const unsigned char fields[] = {0x1E, 0x2B, 0xF0, 0xFF, 0xFF, 0x20, 0x03, 0x30, 0x1E, 0x00};
    for (unsigned char b : fields)
        file += static_cast<char>(b);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < 524280; ++i)
        file += static_cast<char>(random());
    return file;
}

class Folder {
  public:
    Folder() : m_path(std::filesystem::temp_directory_path() / "scrivlet-files-bench")
    {
        std::filesystem::create_directories(m_path);
    }
    ~Folder() { std::filesystem::remove_all(m_path); }
    std::string file(const char* name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

const Folder& folder()
{
    static const Folder f;
    return f;
}

// A main window with the editor pane and the file commands on it; the prompts answer with
// the files the benchmarks name.
struct Window {
    std::shared_ptr<scrivlet::fixtures::PromptLog> log =
        std::make_shared<scrivlet::fixtures::PromptLog>();
    scrivlet::fixtures::RecordingPrompts prompts{log};
    QMainWindow window;
    scrivlet::SourceEditor* editor = new scrivlet::SourceEditor(&window);
    scrivlet::RplNavigation* colours = new scrivlet::RplNavigation(*editor); // the editor's child
    scrivlet::EditorBuffer buffer{*editor};
    scrivlet::FileCommands files{window, buffer, prompts};

    Window()
    {
        window.setCentralWidget(editor);
        window.resize(800, 600);
    }

    // Shows the window and paints what the editor shows now.
    void showPainted()
    {
        window.show();
        QApplication::processEvents();
        editor->viewport()->repaint();
    }
};

// A real library opened as a binary transfer file (read, decompiled with the book's names) and as
// its decompiled source, each to the window painted; the first opens with the names already
// read from the entry database, as every open after the window's first.
const std::string kObjectFile = SCRIVLET_OBJECTS_DIR "/hpairnav/ISA50/ISA50.hp";

struct ObjectWindow : Window {
    scrivlet::ProblemPane* pane = new scrivlet::ProblemPane(&window);
    scrivlet::BuildCommands build{window, buffer, prompts, files, *pane, SCRIVLET_BUILT_DATABASE};

    void open(const std::string& path)
    {
        files.openCommandLineFile(QString::fromStdString(path));
        showPainted();
    }
};

void openRepeatedly(benchmark::State& state, const std::string& path)
{
    ObjectWindow w;
    w.open(kObjectFile); // reads the names once
    const std::int64_t length = w.buffer.length();
    for (auto _ : state) {
        w.open(path);
        if (w.buffer.length() != length)
            state.SkipWithError("the file did not open as the object's text");
    }
    state.counters["text bytes"] = static_cast<double>(length);
}

void BM_FileOpenObject(benchmark::State& state)
{
    openRepeatedly(state, kObjectFile);
}
BENCHMARK(BM_FileOpenObject)->Unit(benchmark::kMicrosecond);

void BM_FileOpenObjectSource(benchmark::State& state)
{
    ObjectWindow w;
    w.open(kObjectFile);
    const std::string path = folder().file("object.rpl");
    std::ofstream(path, std::ios::binary) << scrivlet::toDiskLineEnds(w.buffer.text());
    openRepeatedly(state, path);
}
BENCHMARK(BM_FileOpenObjectSource)->Unit(benchmark::kMicrosecond);

// The first open in a window: the names are read from the entry database first.
void BM_FileOpenObjectFirst(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<ObjectWindow>();
        state.ResumeTiming();
        w->open(kObjectFile);
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FileOpenObjectFirst)->Unit(benchmark::kMillisecond);

// From File > Open to the window shown with the file's first lines painted.
void BM_FileOpen10MB(benchmark::State& state)
{
    const std::string path = folder().file("open.rpl");
    std::ofstream(path, std::ios::binary) << sourceText(10 * 1024 * 1024);
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        w->log->openAnswers.push_back(QString::fromStdString(path));
        state.ResumeTiming();
        w->files.openFile();
        w->showPainted();
        state.PauseTiming();
        if (w->buffer.length() < 10 * 1024 * 1024)
            state.SkipWithError("the file was not opened");
        state.counters["lines"] = static_cast<double>(w->editor->model().lineCount());
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FileOpen10MB)->Unit(benchmark::kMillisecond);

void BM_FileSaveAs10MB(benchmark::State& state)
{
    const std::string path = folder().file("save.rpl");
    Window w;
    w.buffer.setText(scrivlet::toEditorLineEnds(sourceText(10 * 1024 * 1024)));
    for (auto _ : state) {
        w.log->saveAsAnswers.push_back(QString::fromStdString(path));
        if (!w.files.saveAs())
            state.SkipWithError("the file was not saved");
    }
}
BENCHMARK(BM_FileSaveAs10MB)->Unit(benchmark::kMillisecond);

// A dropped GROB file (read, converted, inserted) and the window painted after it: a line of
// over a million characters.
void BM_DropGrobMillionCharLine(benchmark::State& state)
{
    const std::string path = folder().file("drop.gro");
    std::ofstream(path, std::ios::binary) << largestGrob();
    Window w;
    w.showPainted();
    for (auto _ : state) {
        w.files.dropFiles({QString::fromStdString(path)});
        w.editor->viewport()->repaint();
        state.PauseTiming();
        if (w.buffer.length() < 2 * 524280)
            state.SkipWithError("the GROB line was not inserted");
        w.buffer.setText("");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DropGrobMillionCharLine)->Unit(benchmark::kMillisecond);

// The editor part alone: a line of a million characters inserted in the middle of a source,
// with the caret left at its end (so the view scrolls to the far end of the line), and painted.
void BM_InsertMillionCharLine(benchmark::State& state)
{
    const std::string line(1000000, 'A');
    Window w;
    w.buffer.setText(sourceText(1024 * 1024));
    w.showPainted();
    for (auto _ : state) {
        w.buffer.setSelStart(w.buffer.length() / 2);
        w.buffer.setSelText(line);
        w.editor->viewport()->repaint();
        state.PauseTiming();
        w.editor->undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertMillionCharLine)->Unit(benchmark::kMillisecond);

// The byte work alone: read and line ends; line ends and atomic write; read and convert.
void BM_BytesOpen10MB(benchmark::State& state)
{
    const std::string path = folder().file("open.rpl");
    std::ofstream(path, std::ios::binary) << sourceText(10 * 1024 * 1024);
    for (auto _ : state) {
        const scrivlet::FileReadResult read = scrivlet::readWholeFile(path);
        std::string text = scrivlet::toEditorLineEnds(read.bytes);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * 10 * 1024 * 1024);
}
BENCHMARK(BM_BytesOpen10MB)->Unit(benchmark::kMillisecond);

void BM_BytesSaveAs10MB(benchmark::State& state)
{
    const std::string path = folder().file("save.rpl");
    const std::string text = scrivlet::toEditorLineEnds(sourceText(10 * 1024 * 1024));
    for (auto _ : state) {
        const scrivlet::FileWriteResult written =
            scrivlet::writeFileAtomically(path, scrivlet::toDiskLineEnds(text));
        if (!written.ok)
            state.SkipWithError(written.reason.c_str());
    }
    state.SetBytesProcessed(state.iterations() * 10 * 1024 * 1024);
}
BENCHMARK(BM_BytesSaveAs10MB)->Unit(benchmark::kMillisecond);

void BM_BytesGrob512KB(benchmark::State& state)
{
    const std::string path = folder().file("pic.gro");
    std::ofstream(path, std::ios::binary) << largestGrob();
    for (auto _ : state) {
        const scrivlet::FileReadResult read = scrivlet::readWholeFile(path);
        const scrivlet::GrobConversion grob = scrivlet::convertGrob(read.bytes);
        if (!grob.ok())
            state.SkipWithError("the GROB file was not converted");
        benchmark::DoNotOptimize(grob.line.data());
    }
}
BENCHMARK(BM_BytesGrob512KB)->Unit(benchmark::kMillisecond);

} // namespace
