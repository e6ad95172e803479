#pragma once

#include <functional>

// Runs `cleanup` once the benchmarks have run, while the application object still stands:
// windows a benchmark keeps across its repetitions are closed there, not among the program's
// static objects after Qt's own are gone.
void atBenchmarksEnd(std::function<void()> cleanup);
