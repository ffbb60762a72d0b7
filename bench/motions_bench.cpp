// How long the scene's motions take inside one frame: the drift of every
// point of the scene (craft, six letters, six ROBO copies, marker) and the
// body turn of one ROBO copy.

#include "data/robo_model.h"
#include "etude/motions.h"
#include "platform/random.h"
#include "render/view.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A full scene at the reference screen, as an etude starts it.
std::unique_ptr<GameState> MakeScene() {
    auto game = std::make_unique<GameState>();
    render::ComputeScreenMetricsFor(game->screen, 3840, 2160);
    game->glyphs.ChosenWord = "DEBARK";  // four letters with holes: many points
    for (int wall = 1; wall <= 6; ++wall) {
        game->glyphs.FaceLetter[wall] = "DEBARK"[wall - 1];
        game->etude.TumbleHistoryDegreesCCW[wall][1] = static_cast<std::int16_t>(90 * (wall % 4));
        game->etude.TumbleHistoryDegreesCCW[wall][3] = static_cast<std::int16_t>(90 * ((wall + 1) % 4));
    }
    etude::PrepareLetters(*game);
    data::FillRoboModel(*game);
    etude::FillRoboBodyFrame(*game);
    etude::PrepareRoboCopies(*game);
    platform::SeedRandom(game->random, 43200.0);
    etude::DrawInitialWanderSenses(*game);
    etude::BuildWanderMarker(*game);
    return game;
}

void BM_WanderFrame(benchmark::State& state) {
    auto game = MakeScene();
    std::int32_t frame = 0;
    for (auto _ : state) {
        ++frame;
        etude::WanderSchedule(*game, frame, 5.0);
        benchmark::DoNotOptimize(game->robo.RoboONFACE[6][69][4].x);
    }
}
BENCHMARK(BM_WanderFrame);

void BM_BodyTurn(benchmark::State& state) {
    auto game = MakeScene();
    int axis = 1;
    for (auto _ : state) {
        etude::RotateRoboCopy(*game, 1, axis, etude::KeyTurnAngle);
        axis = axis % 3 + 1;
        benchmark::DoNotOptimize(game->robo.RoboONFACE[1][69][4].x);
    }
}
BENCHMARK(BM_BodyTurn);

}  // namespace
