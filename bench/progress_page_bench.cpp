// The PROGRESS page at 3840 x 2160 for a history of 400 and of 100,000 etudes:
// drawing the prepared page (the goal is at most 5 ms), preparing it once when
// it opens, and as the floor the least any frame costs at that size: clearing
// the picture and copying it out as the window would. Each draw also reports
// the floor measured in the same run and its ratio to it ("x_floor"), both in
// CPU time, which a machine shared with other work disturbs least; a draw
// clears the picture too, but copies nothing out.

#include "app/main_flow.h"
#include "platform/cairo/picture.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "progress/progress_page.h"
#include "records/plausible_history.h"
#include "render/view.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

struct Setting {
    platform::PlatformHandle platform;
    std::unique_ptr<GameState> game;
};

Setting MakeSetting(int records) {
    platform::OffscreenOptions options;
    options.width = kWidth;
    options.height = kHeight;
    Setting setting{platform::CreateOffscreenPlatform(options), std::make_unique<GameState>()};
    GameState& game = *setting.game;
    game.platform = setting.platform.get();
    render::ComputeScreenMetricsFor(game.screen, kWidth, kHeight);
    app::OpenPassWindow(game);
    game.settings.PlayerName = "ACE1";
    game.settings.EtudeNumber = 11;
    records::HistoryChoice choice;
    choice.records = records;
    records::MakePlausibleHistory(game.history, choice);
    return setting;
}

std::int32_t LastDay(const GameState& game) {
    const History& history = game.history;
    return progress::DayNumberOfRecord(history.PlayerHistory[static_cast<std::size_t>(history.NumRecords)]);
}

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// CPU seconds of one clear and copy of the window's picture: the fastest of
// several rounds, as the draw's own time is the mean of many.
double FloorSeconds(platform::Platform& window) {
    std::vector<unsigned char> shown(static_cast<std::size_t>(platform::PicturePitch(window)) * kHeight);
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        constexpr int kReps = 10;
        const double start = CpuSeconds();
        for (int rep = 0; rep < kReps; ++rep) {
            platform::GraphicClear(window);
            platform::CopyPictureTo(window, shown.data(), platform::PicturePitch(window));
            benchmark::DoNotOptimize(shown.data());
        }
        best = std::min(best, (CpuSeconds() - start) / kReps);
    }
    return best;
}

void BM_DrawProgressPage(benchmark::State& state) {
    Setting setting = MakeSetting(static_cast<int>(state.range(0)));
    progress::PageFigures page;
    progress::PreparePage(*setting.game, LastDay(*setting.game), page);
    progress::DrawProgressPage(*setting.game, page);  // the fonts' glyphs are made once
    const double floor = FloorSeconds(*setting.platform);
    const double start = CpuSeconds();
    for (auto _ : state) {
        progress::DrawProgressPage(*setting.game, page);
        platform::ClearPrintedTexts(*setting.platform);  // the off-screen log only
    }
    const double draw = (CpuSeconds() - start) / static_cast<double>(state.iterations());
    std::size_t marks = 0;
    for (int group = 1; group <= progress::kNumAxisGroups; ++group)
        marks += page.marks[group].won.size() + page.marks[group].lost.size();
    state.counters["marks"] = static_cast<double>(marks);
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["x_floor"] = draw / floor;
}
BENCHMARK(BM_DrawProgressPage)->Arg(400)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PrepareProgressPage(benchmark::State& state) {
    Setting setting = MakeSetting(static_cast<int>(state.range(0)));
    progress::PageFigures page;
    for (auto _ : state) progress::PreparePage(*setting.game, LastDay(*setting.game), page);
}
BENCHMARK(BM_PrepareProgressPage)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor: a clear of the whole picture and its copy to a window-sized buffer.
void BM_ClearAndCopyFrame(benchmark::State& state) {
    Setting setting = MakeSetting(0);
    platform::Platform& window = *setting.platform;
    std::vector<unsigned char> shown(static_cast<std::size_t>(platform::PicturePitch(window)) * kHeight);
    for (auto _ : state) {
        platform::GraphicClear(window);
        platform::CopyPictureTo(window, shown.data(), platform::PicturePitch(window));
        benchmark::DoNotOptimize(shown.data());
    }
}
BENCHMARK(BM_ClearAndCopyFrame)->Unit(benchmark::kMillisecond);

}  // namespace
