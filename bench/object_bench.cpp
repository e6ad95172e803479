// The object compiler's and decompiler's speed: compiling a User RPL source of 10,000 lines
// (budget: under 100 ms) and decompiling a 120 KB library (budget: under 100 ms), with the
// ROM names of data/rom49.tbl. Also decompiling 120 KB of real programs and lists (the real
// objects of tests/data/objects in one list, repeated), which the decompiler walks object by
// object where it writes a library as one NIBHEX.
//
//   cmake --preset release -DSCRIVLET_BUILD_BENCH=ON
//   cmake --build --preset release --target object_bench
//   ./build/release/bench/object_bench

#include "support/book_names.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "reference/entry_table.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace scrivlet;

using fixtures::bookNames;

// A User RPL source of `lines` lines: one program of small programs, each a few lines of
// commands, numbers, strings, names, locals and control structures.
std::string userSource(int lines)
{
    static const char* kLines[] = {
        "  \\<< \\-> a b",
        "    \\<< a b + 2 * 'S' STO 'a*SIN(b)+2.5' EVAL \"text\" SIZE DROP",
        "      IF a 0 > THEN a ELSE b NEG END 1 10 FOR i i SQ NEXT",
        "      { 1 2 3.75 \"s\" X } \\->LIST DROP # 1Fh 1234567 + DROP @ a comment",
        "    \\>>",
        "  \\>>",
    };
    std::string text = "%%HP: T(3)A(R)F(.);\n\\<<\n";
    for (int i = 0; i < (lines - 3) / 6 * 6; ++i) {
        text += kLines[i % 6];
        text += '\n';
    }
    return text + "\\>>\n";
}

void BM_CompileUserRpl(benchmark::State& state)
{
    const std::string source = userSource(static_cast<int>(state.range(0)));
    const RomNames& names = bookNames();
    std::size_t nibbles = 0;
    for (auto _ : state) {
        const CompileResult r = compileRpl(source, names);
        if (!r.ok)
            state.SkipWithError(r.error.message.c_str());
        nibbles = objectNibbles(r.object).size();
        benchmark::DoNotOptimize(r.object.items.data());
    }
    state.counters["source_bytes"] = static_cast<double>(source.size());
    state.counters["object_bytes"] = static_cast<double>(nibbles / 2);
}
BENCHMARK(BM_CompileUserRpl)->Arg(10000)->Unit(benchmark::kMillisecond);

// A library of `bytes` bytes: a real library's header and the rest of its nibbles repeated.
RplObject library(std::size_t bytes)
{
    const TransferFileRead real =
        readTransferFile(readWholeFile(SCRIVLET_OBJECTS_DIR "/hpairnav/ISA50/ISA50.hp").bytes);
    RplObject lib = real.file.object;
    const Nibbles pattern = lib.body;
    while (lib.body.size() < 2 * bytes)
        lib.body.insert(lib.body.end(), pattern.begin() + 5, pattern.end());
    lib.body.resize(2 * bytes);
    const Nibbles size = [&] {
        Nibbles n;
        appendNibbleField(n, static_cast<std::uint32_t>(lib.body.size()), 5);
        return n;
    }();
    std::copy(size.begin(), size.end(), lib.body.begin());
    return lib;
}

// Every real 49-series object in one list, repeated up to `bytes`.
RplObject realObjects(std::size_t bytes)
{
    RplObject list{prolog::kList, ObjectShape::Composite, {}, {}, {}};
    std::vector<RplObject> all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVLET_OBJECTS_DIR)) {
        const TransferFileRead read = readTransferFile(readWholeFile(entry.path().string()).bytes);
        if (read.ok && read.file.family == CalculatorFamily::Hp49 &&
            read.file.object.prolog != prolog::kLibrary)
            all.push_back(read.file.object);
    }
    std::size_t size = 0;
    while (size < 2 * bytes && !all.empty())
        for (const RplObject& o : all) {
            list.items.push_back(o);
            size += objectNibbles(o).size();
        }
    return list;
}

void decompileBench(benchmark::State& state, const RplObject& object)
{
    const RomNames& names = bookNames();
    std::size_t textBytes = 0;
    for (auto _ : state) {
        const std::string text = decompiledTransferText(object, names);
        textBytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["object_bytes"] = static_cast<double>(objectNibbles(object).size() / 2);
    state.counters["text_bytes"] = static_cast<double>(textBytes);
}

void BM_DecompileLibrary(benchmark::State& state)
{
    decompileBench(state, library(120 * 1024));
}
BENCHMARK(BM_DecompileLibrary)->Unit(benchmark::kMillisecond);

void BM_DecompileRealPrograms(benchmark::State& state)
{
    decompileBench(state, realObjects(120 * 1024));
}
BENCHMARK(BM_DecompileRealPrograms)->Unit(benchmark::kMillisecond);

// Reading a 120 KB transfer file into the object tree.
void BM_ReadTransferFile(benchmark::State& state)
{
    const std::string file = transferFileBytes(realObjects(120 * 1024));
    for (auto _ : state) {
        const TransferFileRead read = readTransferFile(file);
        benchmark::DoNotOptimize(read.file.object.items.data());
    }
    state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_ReadTransferFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
