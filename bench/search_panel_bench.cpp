// Replace All through the search frame on a text in the editor: reading the text, the
// replacement itself and writing the changed region back as one undo step. Also search next
// to an occurrence near the end of the text.

#include "bench_text.h"
#include "common/user_prompts.h"
#include "editor/editor_buffer.h"
#include "editor/search_panel.h"
#include "editor/source_editor.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using scrivlet::bench::makeText;

class SilentPrompts final : public scrivlet::UserPrompts {
  public:
    void message(QWidget*, const QString&, const QString& text, Icon) override { last = text; }
    SaveChoice askSaveChanges(QWidget*, const QString&, const QString&) override
    {
        return SaveChoice::Cancel;
    }
    QString openFileName(QWidget*, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&) override { return {}; }
    void beep() override {}
    QString last;
};

struct Editor {
    QWidget window;
    scrivlet::SourceEditor* edit = new scrivlet::SourceEditor(&window);
    SilentPrompts prompts;
    scrivlet::EditorBuffer buffer{*edit};
    scrivlet::SearchPanel* panel = new scrivlet::SearchPanel(buffer, prompts, &window);
    QLineEdit* sr = panel->findChild<QLineEdit*>(QStringLiteral("sr"));
    QLineEdit* rp = panel->findChild<QLineEdit*>(QStringLiteral("rp"));

    Editor()
    {
        edit->setGeometry(0, 0, 600, 400);
        window.resize(800, 500);
        window.show();
    }
};

void panelReplaceAll(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string text = makeText(size, size / 10);
    Editor editor;
    editor.sr->setText(QStringLiteral("a"));
    editor.rp->setText(QStringLiteral("b"));
    for (auto _ : state) {
        state.PauseTiming();
        editor.buffer.setText(text);
        QApplication::processEvents();
        state.ResumeTiming();
        editor.panel->replaceAll();
        QApplication::processEvents();
    }
    if (editor.prompts.last !=
        QStringLiteral("Found and replaced : %1\noccurances.").arg(size / 10))
        state.SkipWithError(qPrintable(editor.prompts.last));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void panelSearchNear(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    std::string text = makeText(size, 0);
    text.replace(size - 100, 3, "xyz");
    Editor editor;
    editor.buffer.setText(text);
    editor.sr->setText(QStringLiteral("xyz"));
    for (auto _ : state) {
        editor.buffer.setSelStart(static_cast<std::int64_t>(size) - 1000);
        editor.panel->searchNext();
    }
    if (editor.buffer.selStart() != static_cast<std::int64_t>(size) - 100)
        state.SkipWithError("not found");
}

BENCHMARK(panelReplaceAll)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(panelSearchNear)->Arg(10'000'000)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
