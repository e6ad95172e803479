// Opening and saving a 10 MB source (budget: under 1 s each) and importing a GROB file with
// 512 KB of picture data (budget: under 50 ms).
//
//   cmake --preset release && cmake --build --preset release --target files_bench
//   ./build/release/bench/files_bench

#include "files/file_io.h"
#include "files/grob.h"
#include "files/line_ends.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// A source of about `bytes` bytes: RPL-like lines ended by LF, with a CR LF every so often.
std::string sourceText(std::size_t bytes)
{
    static const char* const lines[] = {"::", "  DUP SWAP DROP", "  %1 %+ ROT", "  BINT5 #>",
                                        "  ITE :: \"text\" ; ::  ; ;", ";", "@"};
    std::string text;
    text.reserve(bytes + 64);
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        text += lines[i % 7];
        text += (i % 11 == 0) ? "\r\n" : "\n";
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

void BM_OpenSource10MB(benchmark::State& state)
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
BENCHMARK(BM_OpenSource10MB)->Unit(benchmark::kMillisecond);

void BM_SaveAsSource10MB(benchmark::State& state)
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
BENCHMARK(BM_SaveAsSource10MB)->Unit(benchmark::kMillisecond);

void BM_ImportGrob512KB(benchmark::State& state)
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
BENCHMARK(BM_ImportGrob512KB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
