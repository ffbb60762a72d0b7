// What one play frame costs the canvas at 1920 x 1080: a polygon fill of the
// largest size the game may draw, ROBO-sized quads, the 1500 discs of the sky,
// clearing, and the copy that hands a finished picture to the window.

#include "platform/cairo/picture.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

using namespace platform;

PlatformHandle FullHdWindow() {
    OffscreenOptions options;
    PlatformHandle platform = CreateOffscreenPlatform(options);
    OpenGraphicWindow(*platform, "bench", 0, 0, 1920, 1080);
    GraphicSetColor(*platform, 0, 0);
    GraphicSetScale(*platform, -960, 540, 960, -540);
    GraphicSetOption(*platform, WindowOption::Inclusive, true);
    GraphicClear(*platform);
    return platform;
}

// A 1024-point star-shaped outline across most of the window.
void BM_PolygonFill1024(benchmark::State& state) {
    PlatformHandle platform = FullHdWindow();
    std::vector<PointF> points(1024);
    for (int i = 0; i < 1024; ++i) {
        double angle = 2 * std::numbers::pi * i / 1024;
        double radius = (i % 2 == 0) ? 500 : 380;
        points[i] = PointF{static_cast<float>(radius * std::cos(angle)), static_cast<float>(radius * std::sin(angle))};
    }
    for (auto _ : state) {
        GraphicPolygon(*platform, points.data(), 1024, Rgb(255, 255, 255), Rgb(0, 0, 255), FillStyle::Solid, 0);
    }
}
BENCHMARK(BM_PolygonFill1024)->Unit(benchmark::kMicrosecond);

// The 69 four-corner sections of one ROBO copy, six copies a frame.
void BM_RoboQuads414(benchmark::State& state) {
    PlatformHandle platform = FullHdWindow();
    for (auto _ : state) {
        for (int section = 0; section < 414; ++section) {
            float x = static_cast<float>((section * 37) % 800 - 400), y = static_cast<float>((section * 53) % 600 - 300);
            const PointF quad[4] = {{x, y}, {x + 40, y + 5}, {x + 45, y - 30}, {x + 3, y - 35}};
            GraphicPolygon(*platform, quad, 4, Rgb(0, 0, 0), Rgb(255, 0, 0), FillStyle::Solid, 0);
        }
    }
}
BENCHMARK(BM_RoboQuads414)->Unit(benchmark::kMicrosecond);

// The sky: 1500 small discs outlined in their own colour.
void BM_StarDiscs1500(benchmark::State& state) {
    PlatformHandle platform = FullHdWindow();
    std::vector<PointF> centres(1500);
    std::vector<int> sizes(1500);
    std::srand(7);
    for (int i = 0; i < 1500; ++i) {
        centres[i] = PointF{static_cast<float>(std::rand() % 1900 - 950), static_cast<float>(std::rand() % 1060 - 530)};
        sizes[i] = std::rand() % 4;
    }
    for (auto _ : state) {
        for (int i = 0; i < 1500; ++i) {
            float half = static_cast<float>(sizes[i]);
            Color color = Rgb(255, 255, (i * 13) & 255);
            GraphicBox(*platform, centres[i].x - half, centres[i].y + half, centres[i].x + half, centres[i].y - half,
                       kEllipseCorner, color, color, FillStyle::Solid);
        }
    }
}
BENCHMARK(BM_StarDiscs1500)->Unit(benchmark::kMicrosecond);

void BM_ClearFullHd(benchmark::State& state) {
    PlatformHandle platform = FullHdWindow();
    for (auto _ : state) GraphicClear(*platform);
}
BENCHMARK(BM_ClearFullHd)->Unit(benchmark::kMicrosecond);

// The copy GraphicRedraw makes into the window surface on the desktop.
void BM_RedrawCopyFullHd(benchmark::State& state) {
    PlatformHandle platform = FullHdWindow();
    int pitch = PicturePitch(*platform);
    auto* target = static_cast<unsigned char*>(std::aligned_alloc(4096, static_cast<std::size_t>(pitch) * 1080));
    for (auto _ : state) {
        CopyPictureTo(*platform, target, pitch);
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
    }
    std::free(target);
}
BENCHMARK(BM_RedrawCopyFullHd)->Unit(benchmark::kMicrosecond);

}  // namespace
