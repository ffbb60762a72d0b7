// The play loop's hot path: one whole picture of the scene at 1920 x 1080 on
// the off-screen canvas, drifting a step between pictures as play does. Sky
// modes 4 (1500 table stars) and 8 (1500 new stars a frame), each through the
// game's path and through the plain path that paints every star.

#include "app/pass_setup.h"
#include "etude/motions.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "render/sky.h"

#include <benchmark/benchmark.h>

namespace {

void DrawWholeScene(benchmark::State& state, int sky_mode, render::StarPainting painting) {
    app::SceneChoice choice;
    choice.width = 1920;
    choice.height = 1080;
    choice.letter_turns = {0, 90, 180, 270, 0, 90};
    choice.wander_frames = 300;
    platform::OffscreenOptions options;
    options.width = choice.width;
    options.height = choice.height;
    platform::PlatformHandle window = platform::CreateOffscreenPlatform(options);
    std::unique_ptr<GameState> game = app::BuildChosenScene(choice, window.get());
    game->sky.SkyMode = static_cast<std::int16_t>(sky_mode);
    game->settings.BeforeArrivalLook = 1;
    game->settings.AfterArrivalLook = 2;
    for (int w = 1; w <= 3; ++w) game->scene.FaceLook[w][1] = kTrue;
    game->etude.FacesDone = 2;

    std::int32_t frame = game->wander.WanderFrame;
    for (auto _ : state) {
        etude::WanderSchedule(*game, ++frame, 5);
        render::DrawSceneWith(*game, painting);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DrawScene_Sky4(benchmark::State& state) {
    DrawWholeScene(state, 4, render::StarPainting::SkipHidden);
}
void BM_DrawScene_Sky8(benchmark::State& state) {
    DrawWholeScene(state, 8, render::StarPainting::SkipHidden);
}
void BM_DrawScene_Sky4_EveryStar(benchmark::State& state) {
    DrawWholeScene(state, 4, render::StarPainting::PaintAll);
}
void BM_DrawScene_Sky8_EveryStar(benchmark::State& state) {
    DrawWholeScene(state, 8, render::StarPainting::PaintAll);
}
void BM_DrawScene_Sky0(benchmark::State& state) {
    DrawWholeScene(state, 0, render::StarPainting::SkipHidden);
}

}  // namespace

BENCHMARK(BM_DrawScene_Sky4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawScene_Sky8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawScene_Sky4_EveryStar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawScene_Sky8_EveryStar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawScene_Sky0)->Unit(benchmark::kMillisecond);
