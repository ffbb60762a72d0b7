#pragma once
// A play scene built the way a pass builds it, without the menu: screen
// metrics, wall colours and looks, stars, marker, the ROBO model and its six
// copies (in their rest poses unless the tumbles are asked for), the word's
// letters turned and placed, then the drift. Shared by the snapshot tool, the
// scene tests and the scene benchmark so that all three look at the same
// pictures the game draws.

#include "app/game_state.h"
#include "app/main_flow.h"
#include "data/robo_model.h"
#include "etude/generation.h"
#include "etude/motions.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "render/scene.h"
#include "render/view.h"

#include <array>
#include <memory>
#include <string>

namespace tools {

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

// The whole record, off the stack (it holds every point list of the scene).
inline std::unique_ptr<GameState> BuildSceneState(const SceneChoice& choice, platform::Platform* window) {
    auto game = std::make_unique<GameState>();
    GameState& g = *game;
    g.platform = window;
    platform::SeedRandom(g.random, choice.seed);

    render::ComputeScreenMetricsFor(g.screen, choice.width, choice.height);
    render::BuildFaceColors(g);
    render::ResetFaceLooks(g);
    etude::DrawInitialWanderSenses(g);
    render::BuildStarTable(g);
    etude::BuildWanderMarker(g);
    data::FillRoboModel(g);
    etude::FillRoboBodyFrame(g);

    g.glyphs.ChosenWord = choice.word;
    for (int w = 1; w <= 6; ++w) {
        const std::size_t i = static_cast<std::size_t>(w - 1);
        g.glyphs.FaceLetter[w] = i < choice.word.size() ? choice.word[i] : 'A';
        auto& turns = g.etude.TumbleHistoryDegreesCCW[w];
        turns[1] = static_cast<std::int16_t>(choice.letter_turns[i]);
        turns[2] = static_cast<std::int16_t>(choice.target_turns[i]);
        int robo_turn = turns[1] - turns[2];
        if (robo_turn < 0) robo_turn += 360;
        turns[3] = static_cast<std::int16_t>(robo_turn);
    }
    etude::PrepareLetters(g);
    etude::PrepareRoboCopies(g);
    for (int w = 1; w <= 6; ++w) {
        for (int s = 1; s <= NumRoboSections; ++s) g.robo.RoboONFACE[w][s][-1].x = kTrue;
    }
    if (choice.tumble) {
        // As after PLAY: the copies are placed afresh and turned, before any drift.
        g.settings.EtudeNumber = choice.etude_kind;
        etude::FillToeDistTargets(g);
        etude::GenerateTumbles(g);
    }

    std::int32_t counter = 0;
    for (int frame = 0; frame < choice.wander_frames; ++frame) etude::WanderSchedule(g, ++counter, 5);
    g.wander.WanderFrame = counter;

    if (window != nullptr) app::OpenPassWindow(g);
    return game;
}

// An off-screen back end of the chosen size; BuildSceneState opens its window
// as every pass does.
inline platform::PlatformHandle OpenSceneWindow(const SceneChoice& choice) {
    platform::OffscreenOptions options;
    options.width = choice.width;
    options.height = choice.height;
    return platform::CreateOffscreenPlatform(options);
}

}  // namespace tools
