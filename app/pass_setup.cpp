#include "app/pass_setup.h"

#include "app/main_flow.h"
#include "data/robo_model.h"
#include "data/words.h"
#include "etude/generation.h"
#include "etude/motions.h"
#include "platform/random.h"
#include "render/scene.h"
#include "render/sky.h"
#include "render/view.h"

#include <cstddef>

namespace app {

namespace {

void ChooseScene(GameState& game, const SceneChoice& chosen) {
    game.glyphs.ChosenWord = chosen.word;
    for (int w = 1; w <= NumFaces; ++w) {
        const auto i = static_cast<std::size_t>(w - 1);
        game.glyphs.FaceLetter[w] = i < chosen.word.size() ? chosen.word[i] : 'A';
        etude::SetWallTurns(game, w, chosen.letter_turns[i], chosen.target_turns[i]);
    }
    etude::ResetEtudeTally(game);
}

}  // namespace

// The order of the random draws is part of the game: with the same seed and
// the same keys a run repeats itself, so turns, word, senses and stars are
// drawn in this order and no other.
void PassSetUp(GameState& game, const SceneChoice* chosen) {
    if (chosen == nullptr) {
        etude::PerEtudeDraws(game);
        data::ChooseWord(game);
    } else {
        ChooseScene(game, *chosen);
    }
    render::BuildFaceColors(game);
    render::ResetFaceLooks(game);
    etude::DrawInitialWanderSenses(game);
    if (chosen == nullptr) {
        render::ComputeScreenMetrics(game);
    } else {
        render::ComputeScreenMetricsFor(game.screen, chosen->width, chosen->height);
    }
    etude::FillToeDistTargets(game);
    render::BuildStarTable(game);
    etude::BuildWanderMarker(game);
    data::FillRoboModel(game);
    etude::FillRoboBodyFrame(game);
    etude::MarkAllSectionsDrawn(game);
}

void EtudeSetUp(GameState& game) {
    etude::GenerateTumbles(game);
    etude::SceneSetUp(game);
}

std::unique_ptr<GameState> BuildChosenScene(const SceneChoice& choice, platform::Platform* platform) {
    auto game = std::make_unique<GameState>();
    GameState& g = *game;
    g.platform = platform;
    platform::SeedRandom(g.random, choice.seed);
    PassSetUp(g, &choice);
    etude::PrepareLetters(g);
    etude::PrepareRoboCopies(g);
    if (choice.tumble) {
        // As after PLAY: the copies are placed afresh and turned, before any drift.
        g.settings.EtudeNumber = choice.etude_kind;
        etude::GenerateTumbles(g);
    }

    std::int32_t counter = 0;
    for (int frame = 0; frame < choice.wander_frames; ++frame) etude::WanderSchedule(g, ++counter, 5);
    g.wander.WanderFrame = counter;

    if (platform != nullptr) OpenPassWindow(g);
    return game;
}

}  // namespace app
