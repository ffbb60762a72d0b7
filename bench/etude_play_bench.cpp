// How long one pass of the play loop takes with no key waiting: the drift
// step, the key polls, the whole picture and the redraw. The loop has no pause
// of its own, so this is the frame time, and with it the speed of the drift.

#include "app/main_flow.h"
#include "app/pass_setup.h"
#include "etude/generation.h"
#include "etude/play_loop.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/random.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_PlayFrame(benchmark::State& state) {
    platform::OffscreenOptions options;
    options.width = static_cast<int>(state.range(0));
    options.height = static_cast<int>(state.range(1));
    auto handle = platform::CreateOffscreenPlatform(options);
    auto game = std::make_unique<GameState>();
    game->platform = handle.get();
    game->settings.EtudeNumber = 16;
    game->settings.PlayerName = "BENCH";
    platform::SeedRandom(game->random, 43200.0);
    app::PassSetUp(*game);
    app::OpenPassWindow(*game);
    app::EtudeSetUp(*game);
    for (auto _ : state) {
        etude::PlayFrame(*game);
        benchmark::DoNotOptimize(game->wander.WanderFrame);
    }
}
BENCHMARK(BM_PlayFrame)->Args({960, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
