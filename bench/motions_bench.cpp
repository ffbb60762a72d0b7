// How long the scene's motions take inside one frame: the drift of every
// point of the scene (craft, six letters, six ROBO copies, marker) and the
// body turn of one ROBO copy.

#include "app/pass_setup.h"
#include "etude/motions.h"
#include "platform/random.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A full scene at the reference screen, as an etude starts it.
std::unique_ptr<GameState> MakeScene() {
    auto game = std::make_unique<GameState>();
    app::SceneChoice choice;
    choice.width = 3840;
    choice.height = 2160;
    choice.word = "DEBARK";  // four letters with holes: many points
    for (std::size_t i = 0; i < 6; ++i) {
        choice.letter_turns[i] = static_cast<int>(90 * ((i + 1) % 4));
        choice.target_turns[i] = 270;  // ROBO turned a quarter more than the letter
    }
    platform::SeedRandom(game->random, 43200.0);
    app::PassSetUp(*game, &choice);
    etude::PrepareLetters(*game);
    etude::PrepareRoboCopies(*game);
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
