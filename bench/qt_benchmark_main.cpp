// The main of the benchmarks that need widgets: an application object on the offscreen platform
// (unless another platform is asked for), then the benchmarks.
#include "qt_benchmark_main.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

std::vector<std::function<void()>>& cleanups()
{
    static std::vector<std::function<void()>> all;
    return all;
}

} // namespace

void atBenchmarksEnd(std::function<void()> cleanup)
{
    cleanups().push_back(std::move(cleanup));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& cleanup : cleanups())
        cleanup();
    return 0;
}
