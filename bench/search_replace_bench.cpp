// Replace All of a one-byte term against `sed 's/a/b/g'` on the same bytes, in one run.
// Prints each time and the ratio Replace All / sed; the budget is 3x.

#include "bench_text.h"
#include "editor/search_rules.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace {

using scrivlet::bench::makeText;

struct Input {
    std::string text;
    std::filesystem::path file;
};

const Input& input(std::size_t size, std::size_t occurrences)
{
    static std::map<std::size_t, Input> inputs;
    Input& in = inputs[size];
    if (in.text.empty()) {
        in.text = makeText(size, occurrences);
        in.file = std::filesystem::temp_directory_path() /
                  ("scrivlet-replace-bench-" + std::to_string(::getpid()) + "-" + std::to_string(size));
        std::ofstream(in.file, std::ios::binary).write(in.text.data(), static_cast<std::streamsize>(in.text.size()));
    }
    return in;
}

void replaceAllBench(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const auto occurrences = static_cast<std::size_t>(state.range(1));
    const std::string& text = input(size, occurrences).text;
    std::int64_t count = 0;
    for (auto _ : state) {
        scrivlet::ReplaceResult result =
            scrivlet::replaceAll(text, "a", "b", 0, scrivlet::replaceBoundFor(std::ssize(text)));
        count = result.count;
        benchmark::DoNotOptimize(result.text.data());
    }
    if (count != static_cast<std::int64_t>(occurrences))
        state.SkipWithError("wrong number of replacements");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void sedBench(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const Input& in = input(size, static_cast<std::size_t>(state.range(1)));
    const std::filesystem::path out = in.file.string() + ".sed";
    const std::string command = "sed 's/a/b/g' '" + in.file.string() + "' > '" + out.string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sed failed");
            break;
        }
    }
    if (std::filesystem::file_size(out) != size)
        state.SkipWithError("sed wrote the wrong length");
    std::filesystem::remove(out);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

constexpr std::int64_t kMB = 1'000'000;

BENCHMARK(replaceAllBench)->Args({50 * kMB, 5'000'000})->Args({10 * kMB, 1'000'000})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(sedBench)->Args({50 * kMB, 5'000'000})->Args({10 * kMB, 1'000'000})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Keeps the real time per iteration of every run, to print the ratios at the end.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1000.0;
    }

    void printRatios() const
    {
        for (const char* args : {"50000000/5000000", "10000000/1000000"}) {
            const auto ours = m_seconds.find(std::string("replaceAllBench/") + args + "/min_time:2.000/real_time");
            const auto sed = m_seconds.find(std::string("sedBench/") + args + "/min_time:2.000/real_time");
            if (ours == m_seconds.end() || sed == m_seconds.end())
                continue;
            std::printf("Replace All %s: %.1f ms, sed %.1f ms, ratio %.2f (budget 3)\n", args,
                        ours->second * 1000.0, sed->second * 1000.0, ours->second / sed->second);
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    for (std::size_t size : {50 * kMB, 10 * kMB})
        std::filesystem::remove(std::filesystem::temp_directory_path() /
                                ("scrivlet-replace-bench-" + std::to_string(::getpid()) + "-" + std::to_string(size)));
    benchmark::Shutdown();
    return 0;
}
