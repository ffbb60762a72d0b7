#pragma once
// Setting up a pass and its scene, the one way the game, the tools, the tests
// and the benchmarks build them: the per-etude draws (or a scene chosen
// instead of drawn), wall colours and looks, drift senses, screen metrics,
// corner targets, stars, marker and the ROBO model; after PLAY the tumbles
// and the scene set-up.

#include "core/game_state.h"

#include <array>
#include <memory>
#include <string>

namespace platform {
struct Platform;
}

namespace app {

// A scene a tool or a test asks for, in place of the pass's random draws.
struct SceneChoice {
    int width = 1920;
    int height = 1080;
    std::string word = "CRAFTS";                    // six letters, one a wall
    std::array<int, 6> letter_turns{};              // TumbleHistoryDegreesCCW(w, 1): 0, 90, 180, 270
    std::array<int, 6> target_turns{};              // TumbleHistoryDegreesCCW(w, 2)
    double seed = 12345.0;                          // clock reading the random numbers are seeded from
    bool tumble = false;                            // knock the ROBO copies out of their rest poses
    int etude_kind = 1;                             // the etude kind the tumbles are drawn for, 1..16
    int wander_frames = 0;                          // drift frames run before the picture
};

// Everything a pass builds before its window opens. With a choice, the word,
// the turns and the screen size are the chosen ones and nothing else changes:
// the random draws that remain come in the game's order.
void PassSetUp(GameState& game, const SceneChoice* chosen = nullptr);
// After PLAY: the tumbles, then the scene set-up just before the play loop.
void EtudeSetUp(GameState& game);

// A play scene as a pass builds it, without the menu: seeded from the choice,
// the pass set up with it, the letters placed, the ROBO copies placed (and
// tumbled when asked), the drift run, and the window opened when there is one.
// The whole record comes off the stack (it holds every point list of the scene).
std::unique_ptr<GameState> BuildChosenScene(const SceneChoice& choice, platform::Platform* platform);

}  // namespace app
