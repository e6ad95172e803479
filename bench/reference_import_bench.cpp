// Speed of building and teaching the entry database:
//   importing a 7,000-line loader listing into an empty database and into a full one (under 1 s
//   each), and learning usage counts from 10 MB of sources (under 2 s).
// Run from a release build: build/release/bench/reference_import_bench
#include "reference/importer.h"
#include "reference/usage_learner.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace scrivlet;

constexpr int kListingEntries = 7000;
constexpr std::size_t kSourceBytes = 10 * 1024 * 1024;
constexpr int kSourceFiles = 100;

// A scratch folder for one benchmark, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir()
    {
        std::random_device random;
        m_path = fs::temp_directory_path() /
                 ("scrivlet-bench-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(m_path);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return (m_path / name).string(); }

  private:
    fs::path m_path;
};

std::string entryName(int i)
{
    // Plain names, flash pointers (^) and ROM pointers (~), as a real listing mixes them.
    const char* prefix = i % 7 == 0 ? "^" : i % 11 == 0 ? "~x" : "";
    return prefix + std::string("ENTRY") + std::to_string(i);
}

// A loader listing of kListingEntries entries in groups, CR LF line ends and form feeds;
// shift changes every address.
std::string syntheticListing(int shift)
{
    std::string text =
        "Saturn Loader, Ver. version 3.0.8, 12/07/02\r\n\r\n\r\n\r\nSource modules:\r\n"
        "Module=Bench.o\r\n\r\n\fSaturn Cross Reference Listing\r\n\r\n";
    char line[80];
    for (int i = 0; i < kListingEntries; ++i) {
        if (i % 100 == 0 && i > 0)
            text += i % 1000 == 0 ? "\r\n\f" : "\r\n";
        const unsigned addr =
            0x10000u + static_cast<unsigned>(i) * 13u + static_cast<unsigned>(shift);
        std::snprintf(line, sizeof line, "%-32s = %05X -\r\n", entryName(i).c_str(), addr);
        text += line;
    }
    return text + "\r\n/SLOAD:  End of Saturn Loader Execution\r\n";
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void BM_ImportListingIntoEmptyDatabase(benchmark::State& state)
{
    ScratchDir dir;
    const std::string listing = dir.file("rom.lr");
    writeFile(listing, syntheticListing(0));
    const std::string db = dir.file("entries97.mdb");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(db);
        state.ResumeTiming();
        const auto imported = importTableFiles({listing}, db);
        if (!imported.ok() || imported.value->added != kListingEntries)
            state.SkipWithError("not every entry was added");
    }
    state.counters["entries"] = kListingEntries;
}
BENCHMARK(BM_ImportListingIntoEmptyDatabase)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportListingIntoFullDatabase(benchmark::State& state)
{
    ScratchDir dir;
    const std::string first = dir.file("first.lr");
    const std::string second = dir.file("second.lr");
    writeFile(first, syntheticListing(0));
    writeFile(second, syntheticListing(1));
    const std::string db = dir.file("entries97.mdb");
    importTableFiles({first}, db);
    // Every round moves every address, so each import updates all rows.
    bool useSecond = true;
    for (auto _ : state) {
        const auto imported = importTableFiles({useSecond ? second : first}, db);
        if (!imported.ok() || imported.value->updated != kListingEntries)
            state.SkipWithError("not every entry was updated");
        useSecond = !useSecond;
    }
    state.counters["entries"] = kListingEntries;
}
BENCHMARK(BM_ImportListingIntoFullDatabase)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LearnFromTenMegabytesOfSources(benchmark::State& state)
{
    ScratchDir dir;
    const std::string listing = dir.file("rom.lr");
    writeFile(listing, syntheticListing(0));
    const std::string db = dir.file("entries97.mdb");
    importTableFiles({listing}, db);

    // Sources of entry names, numbers, words that are no entry, comments and stack diagrams.
    std::mt19937 random(7);
    fs::create_directories(dir.file("src/lib"));
    const std::size_t perFile = kSourceBytes / kSourceFiles;
    std::size_t total = 0;
    for (int f = 0; f < kSourceFiles; ++f) {
        std::string text = "* generated source\r\n::\r\n";
        while (text.size() < perFile) {
            switch (random() % 8) {
            case 0:
                text += "  ( ob1 ob2 -> ob2 ob1 )\r\n";
                break;
            case 1:
                text += "  # 1F3A";
                break;
            case 2:
                text += "  NOTANENTRY";
                break;
            default:
                text += "  " + entryName(static_cast<int>(random() % kListingEntries));
            }
            if (random() % 6 == 0)
                text += "\r\n";
        }
        text += "\r\n;\r\n";
        total += text.size();
        writeFile(dir.file((f % 2 ? "src/lib/f" : "src/f") + std::to_string(f) + ".s"), text);
    }
    for (auto _ : state) {
        const auto learned = learnUsage({dir.file("src")}, db);
        if (!learned.ok() || learned.value->sources != kSourceFiles)
            state.SkipWithError("not every source was read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
    state.counters["MB"] = static_cast<double>(total) / (1024 * 1024);
}
BENCHMARK(BM_LearnFromTenMegabytesOfSources)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
