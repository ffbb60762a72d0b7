// The performance table is drawn at every frame of the play scene: how long
// one drawing takes for a short history and for a long one (40,000 etudes),
// with the default reach of 10 and with the widest reach of 10,000, of all
// kinds in turn or of the one kind a player keeps to.

#include "app/main_flow.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "records/report.h"
#include "render/view.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<GameState> HistoryOf(int records, int kinds, platform::Platform& platform) {
    auto game = std::make_unique<GameState>();
    game->platform = &platform;
    render::ComputeScreenMetricsFor(game->screen, 1920, 1080);
    app::OpenPassWindow(*game);
    game->settings.PlayerName = "ACE1";
    game->history.PlayerHistory.assign(static_cast<std::size_t>(records) + 1, PlayerRecord{});
    game->history.NumRecords = records;
    for (int i = 1; i <= records; ++i) {
        PlayerRecord& record = game->history.PlayerHistory[static_cast<std::size_t>(i)];
        const int fields[] = {i % kinds + 1, 20 + i % 200, 6, 6, 2026, i % 12 + 1, i % 28 + 1, 14, 5, 33, i % 3 - 1};
        for (int field = 1; field <= 11; ++field) record[field] = static_cast<std::int16_t>(fields[field - 1]);
    }
    return game;
}

void BM_DrawPerformanceReport(benchmark::State& state) {
    platform::PlatformHandle platform = platform::CreateOffscreenPlatform(platform::OffscreenOptions{});
    auto game = HistoryOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(2)), *platform);
    game->settings.PastPerformanceReach = static_cast<std::int32_t>(state.range(1));
    for (auto _ : state) {
        records::DrawPerformanceReport(*game);
        // The off-screen log would otherwise grow by 22 texts a frame.
        platform::ClearPrintedTexts(*platform);
    }
}
BENCHMARK(BM_DrawPerformanceReport)
    ->ArgNames({"records", "reach", "kinds"})
    ->Args({0, 10, 16})
    ->Args({500, 10, 16})
    ->Args({40000, 10, 16})
    ->Args({40000, 10000, 16})
    ->Args({5000, 10, 1})
    ->Args({40000, 10, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
