#include "app/main_flow.h"

#include "app/menu.h"
#include "app/pass_setup.h"
#include "etude/play_loop.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "records/name_entry.h"
#include "records/record_file.h"

#include <memory>

namespace app {

namespace {

constexpr const char* kCaption = "Gyrovessel 012";

bool ShouldStop(GameState& game) {
    if (platform::QuitRequested(*game.platform)) game.flow.Quit = true;
    return game.flow.Quit;
}

}  // namespace

// -- Start-up, once per run --

void StartUp(GameState& game) {
    platform::SeedRandom(game.random, platform::Timer(*game.platform));
    game.settings = Settings{};
    game.sky.SkyMode = 1;
    game.wander.WanderFrame = 0;
    game.wander.SinkFrame = 0;
    game.flow = Flow{};
    platform::PlayCue(*game.platform, "corkpop");
}

// -- One pass --

bool OpenPassWindow(GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    if (!platform::OpenGraphicWindow(platform, kCaption, 0, 0, screen.WindowXrange, screen.WindowYrange)) {
        return false;
    }
    platform::GraphicSetLocation(platform, 1, 1);
    platform::GraphicSetColor(platform, platform::Rgb(0, 0, 0), platform::Rgb(0, 0, 0));
    platform::GraphicSetScale(platform, -screen.HalfWidth, screen.HalfHeight, screen.HalfWidth, -screen.HalfHeight);
    platform::GraphicClear(platform);
    platform::GraphicSetPenStyle(platform, 0);
    platform::GraphicSetPenWidth(platform, 1);
    platform::GraphicSetOption(platform, platform::WindowOption::Inclusive, true);
    platform::GraphicSetOption(platform, platform::WindowOption::Wrap, true);
    platform::GraphicSetOption(platform, platform::WindowOption::Scroll, true);
    // Nothing is shown yet: the first picture is the pass's first screen.
    return true;
}

void RunPass(GameState& game) {
    ++game.flow.PassCount;
    PassSetUp(game);
    if (!OpenPassWindow(game)) {
        platform::ConsolePrintText(*game.platform, "The game window could not be opened.");
        platform::ConsoleNewLine(*game.platform);
        game.flow.Quit = true;
        game.flow.ExitStatus = 1;
        return;
    }
    if (game.settings.PlayerName.empty()) {
        records::EnterPlayerName(game);
        if (ShouldStop(game)) return;
    }
    records::LoadPlayerHistory(game);

    ShowMainMenu(game);
    if (ShouldStop(game)) return;
    // The news of a lost record has been on the menu; the new etude's own
    // record will say again if the file still fails.
    game.history.FileTrouble.clear();

    EtudeSetUp(game);
    if (etude::RunPlayLoop(game) == etude::PlayExit::Quit) game.flow.Quit = true;
}

int RunGame(platform::Platform& platform) {
    // The record is large (every point list of the scene): keep it off the stack.
    auto game = std::make_unique<GameState>();
    game->platform = &platform;
    StartUp(*game);
    while (!ShouldStop(*game)) {
        RunPass(*game);
    }
    return game->flow.ExitStatus;
}

}  // namespace app
