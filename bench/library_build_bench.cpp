// Building a library from its project: six source files of 2,000 lines in all (budget: under
// 200 ms for the whole build, from the project file's text to the library object with its
// CRC), with the ROM names of data/rom49.tbl. The sources are System RPL programs of entries,
// numbers, strings, names, nested programs and calls between the project's commands.
//
//   cmake --preset release -DSCRIVLET_BUILD_BENCH=ON
//   cmake --build --preset release --target library_build_bench
//   ./build/release/bench/library_build_bench

#include "support/book_names.h"
#include "calculator/library_object.h"
#include "common/file_io.h"
#include "reference/entry_table.h"
#include "rpl/library_project.h"

#include <benchmark/benchmark.h>
#include <map>
#include <string>

namespace {

using namespace scrivlet;

using fixtures::bookNames;

// A project of `files` sources of `lines` lines each: the odd ones visible, the even ones
// hidden, each calling the one before it.
std::map<std::string, std::string> project(int files, int lines)
{
    std::map<std::string, std::string> sources;
    std::string hpp = "[Main]\nlibrary=1\nRomid=5A0\nTitle=BENCH\n[Files]\n";
    for (int f = 0; f < files; ++f) {
        const std::string name = "CMD" + std::to_string(f);
        const bool visible = f % 2 == 0;
        std::string text = "RPL\n* a generated command\n";
        text += (visible ? "xNAME " : "NULLNAME ") + name + "\n::\n";
        for (int l = 4; l < lines - 1; ++l) {
            switch (l % 5) {
            case 0: text += "  DUP SWAP DROP OVER ROT\n"; break;
            case 1: text += "  % 1.5 %+ # 3F #+ ZINT 12345678901234567890\n"; break;
            case 2: text += "  \"a string of text\" ID name LAM local\n"; break;
            case 3: text += "  :: TRUE ITE FALSE ; EVAL\n"; break;
            default:
                text += f == 0 ? "  NOP\n"
                               : (f % 2 == 1 ? "  xCMD" : "  CMD") + std::to_string(f - 1) + "\n";
            }
        }
        text += ";\n";
        sources[name + ".s"] = text;
        hpp += "file" + std::to_string(f + 1) + "=" + name + ".s\n";
    }
    sources["BENCH.hpp"] = hpp;
    return sources;
}

void BM_BuildLibraryProject(benchmark::State& state)
{
    const RomNames& names = bookNames();
    const auto files = project(6, static_cast<int>(state.range(0)) / 6);
    const ProjectFileReader read = [&](const std::string& name) -> std::optional<std::string> {
        const auto it = files.find(name);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    std::size_t nibbles = 0;
    for (auto _ : state) {
        const ProjectBuild built = buildLibraryProject(files.at("BENCH.hpp"), read, names);
        if (!built.ok) {
            state.SkipWithError(built.error.message.c_str());
            return;
        }
        const LibraryBuild library = buildLibrary(built.parts);
        nibbles = library.library.body.size();
        benchmark::DoNotOptimize(nibbles);
    }
    state.counters["library_bytes"] = static_cast<double>(nibbles / 2);
}
BENCHMARK(BM_BuildLibraryProject)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
