// Turning a picture into a GROB line, with the plain threshold and with dithering: a 131×80
// calculator screen (budget: under 5 ms) and the largest picture a GROB can hold at 2,048
// pixels wide, 2,048 × 2,047 (budget: under 200 ms; at 2,048 rows the data would overflow the
// GROB's 20-bit length field, so that picture is refused). Also reading a GROB line of that
// size back and making its preview at zoom 4 for a 131×80 screen.
//
//   cmake --preset release -DSCRIVLET_BUILD_BENCH=ON
//   cmake --build --preset release --target grob_picture_bench
//   ./build/release/bench/grob_picture_bench

#include "files/grob_picture.h"
#include "calculator/grob_text.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace scrivlet;

// A photograph stand-in: diagonal gradients with noise, partly transparent in one corner.
QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    std::mt19937 random(3);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(random() % 32);
            const int grey = (x * 255 / width + y * 255 / height) / 2;
            const int alpha = x < width / 8 && y < height / 8 ? 96 : 255;
            line[x] = qRgba(qBound(0, grey + noise, 255), grey, qBound(0, 255 - grey, 255), alpha);
        }
    }
    return image;
}

void BM_PictureToGrobLine(benchmark::State& state)
{
    const QImage picture =
        testPicture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto rule = state.range(2) ? DarkRule::Dither : DarkRule::Threshold;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const PictureGrob grob = grobFromPicture(picture, rule);
        const std::string line = grobObjectLine(*grob.grob);
        bytes = line.size();
        benchmark::DoNotOptimize(line.data());
    }
    state.SetLabel(rule == DarkRule::Dither ? "dither" : "threshold");
    state.counters["line_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PictureToGrobLine)
    ->ArgNames({"w", "h", "dither"})
    ->Args({131, 80, 0})
    ->Args({131, 80, 1})
    ->Args({2048, 2047, 0})
    ->Args({2048, 2047, 1})
    ->Unit(benchmark::kMillisecond);

void BM_GrobLineToPreview(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const std::string line =
        grobObjectLine(*grobFromPicture(testPicture(width, height), DarkRule::Dither).grob);
    const int zoom = grobPreviewZoom(QSize(width, height), QSize(640, 480));
    for (auto _ : state) {
        const QImage preview = grobPreview(*parseGrobText(line).grob, zoom);
        benchmark::DoNotOptimize(preview.constBits());
    }
    state.counters["zoom"] = zoom;
}
BENCHMARK(BM_GrobLineToPreview)
    ->ArgNames({"w", "h"})
    ->Args({131, 80})
    ->Args({2048, 2047})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
