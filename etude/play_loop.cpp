#include "etude/play_loop.h"

#include "etude/motions.h"
#include "etude/outcome.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "records/record_file.h"
#include "render/scene.h"

#include <string_view>

namespace etude {

namespace {

constexpr int kKeyPolls = 8;
constexpr std::int32_t kFrameCounterWrap = 10'000'000;
constexpr std::string_view kEscape = "\x1b";
constexpr std::string_view kLeaveEtude = "1";

constexpr int kLookCount = 5;  // looks 0..4
constexpr std::int16_t kNoObstructionLook = 4;

bool SpokenCues(const GameState& game) {
    return game.settings.EchoMode == 1 || game.settings.EchoMode == 2;
}

void SpeakIfEchoing(GameState& game, std::string_view cue) {
    if (SpokenCues(game)) platform::PlayCue(*game.platform, cue);
}

void StepLook(GameState& game, int wall) {
    auto& look = game.scene.FaceLook[wall][0];
    look = static_cast<std::int16_t>((look + 1) % kLookCount);
}

// Every expected press but the last takes one part away from the figure;
// the parts stay away for the rest of the etude.
void HideOneSection(GameState& game, int wall) {
    auto& copy = game.robo.RoboONFACE[wall];
    bool any_drawn = false;
    for (int s = 1; s <= NumRoboSections && !any_drawn; ++s) any_drawn = copy[s][-1].x != kFalse;
    if (!any_drawn) return;
    for (;;) {
        int s = platform::RandomInteger(game.random, 1, NumRoboSections);
        if (copy[s][-1].x != kFalse) {
            copy[s][-1].x = kFalse;
            return;
        }
    }
}

// -- Key commands --

// One row of the play keys: the key as read (letters in capitals), what it
// does, and its cue. `wall` is the look key's wall; `axis` and `sign` the
// turn key's body turn.
struct PlayCommand;
using CommandRoutine = void (*)(GameState& game, const PlayCommand& command, double now);
struct PlayCommand {
    std::string_view key;
    CommandRoutine run;
    std::string_view cue;
    // Most commands show the key in the status bar and then speak their cue
    // when the echo is on; the others do both themselves, or neither.
    bool echoed = true;
    int wall = 0;
    std::int16_t axis = 0;  // 1 roll, 2 yaw, 3 pitch
    int sign = 0;           // +1 counter-clockwise seen from the axis tip
};

void TurnCommand(GameState& game, const PlayCommand& turn, double now) {
    Etude& etude = game.etude;
    if (etude.FacesDone >= NumFaces) return;
    int wall = etude.Face;
    auto& strokes = etude.FaceKeyStrokes[wall];
    strokes[1] = static_cast<std::int16_t>(strokes[1] + 1);
    if (strokes[0] > strokes[1]) HideOneSection(game, wall);
    game.play.KeyShownAt = now;
    // The cue comes before the turn, which may solve the wall and start it sinking.
    SpeakIfEchoing(game, turn.cue);
    etude.TurnAxis = turn.axis;
    etude.TurnAngle = turn.sign * KeyTurnAngle;
    BodyTurn(game);
}

void LookCommand(GameState& game, const PlayCommand& look, double) {
    StepLook(game, look.wall);
}

void AllLooksCommand(GameState& game, const PlayCommand&, double) {
    for (int w = 1; w <= NumFaces; ++w) StepLook(game, w);
}

void NoObstructionCommand(GameState& game, const PlayCommand&, double) {
    for (int w = 1; w <= NumFaces; ++w) game.scene.FaceLook[w][0] = kNoObstructionLook;
}

void RightHandCommand(GameState& game, const PlayCommand&, double now) {
    game.robo.ShowRightHand = true;
    game.robo.ShowRightHandAt = now;
}

void HyphenHeadCommand(GameState& game, const PlayCommand&, double now) {
    game.robo.ShowHyphenHead = true;
    game.robo.ShowHyphenHeadAt = now;
}

// The cue follows the new mode: turning the echo off is silent.
void EchoCommand(GameState& game, const PlayCommand&, double) {
    game.settings.EchoMode = static_cast<std::int16_t>((game.settings.EchoMode + 1) % 4);
}

void SkyCommand(GameState& game, const PlayCommand&, double) {
    game.sky.SkyMode = static_cast<std::int16_t>((game.sky.SkyMode + 1) % 9);
}

void WanderCommand(GameState& game, const PlayCommand&, double) {
    DrawNewWanderSenses(game);
}

// The scene stands still until the player ends a typed line; the text is not used.
void FreezeCommand(GameState& game, const PlayCommand& freeze, double now) {
    platform::Platform& platform = *game.platform;
    SpeakIfEchoing(game, freeze.cue);
    game.play.KeyShownAt = now;
    platform::GraphicSetPos(platform, -game.screen.HalfWidth + 10.0f, -game.screen.HalfHeight + 30.0f);
    platform::GraphicLineInput(platform);
}

// An etude left after one to five walls is recorded as incomplete; a finished
// one was recorded when its sixth wall was solved, and an untouched one leaves
// no trace.
void LeaveCommand(GameState& game, const PlayCommand& leave, double) {
    std::int16_t done = game.etude.FacesDone;
    if (done > 0 && done < NumFaces) {
        records::RecordIncompleteEtude(game);
        game.play.KeyShownAt = platform::Timer(*game.platform);
    }
    if (done == NumFaces) SpeakIfEchoing(game, leave.cue);
}

// Esc: the quit cue plays whatever the echo mode.
void QuitCommand(GameState& game, const PlayCommand& quit, double) {
    platform::PlayCue(*game.platform, quit.cue);
    game.flow.Quit = true;
}

constexpr PlayCommand kPlayCommands[] = {
    {"7", TurnCommand, "speakpu", false, 0, 3, +1},  // pitch up
    {"4", TurnCommand, "speakpd", false, 0, 3, -1},  // pitch down
    {"8", TurnCommand, "speakyr", false, 0, 2, +1},  // yaw right
    {"5", TurnCommand, "speakyl", false, 0, 2, -1},  // yaw left
    {"9", TurnCommand, "speakrr", false, 0, 1, +1},  // roll right
    {"6", TurnCommand, "speakrl", false, 0, 1, -1},  // roll left
    {"R", LookCommand, "speakred", true, 1},
    {"G", LookCommand, "speakgreen", true, 2},
    {"B", LookCommand, "speakblue", true, 3},
    {"Y", LookCommand, "speakyellow", true, 4},
    {"P", LookCommand, "speakpurple", true, 5},
    {"C", LookCommand, "speakcyan", true, 6},
    {"A", AllLooksCommand, "speakallsixwalls"},
    {"Z", NoObstructionCommand, "speakzeroobstructions"},
    {"D", RightHandCommand, "speakshowrighthand"},
    {"X", HyphenHeadCommand, "speakshowhyphenhead"},
    {"E", EchoCommand, "speakecho"},
    {"S", SkyCommand, "speaksky"},
    {"W", WanderCommand, "speakwhitherwander"},
    {"F", FreezeCommand, "speakfreezemotionenter", false},
    {kLeaveEtude, LeaveCommand, "speakmainmenu", false},
    {kEscape, QuitCommand, "speakquit", false},
};

}  // namespace

void HandlePlayKey(GameState& game, const std::string& key) {
    const double now = platform::Timer(*game.platform);
    for (const PlayCommand& command : kPlayCommands) {
        if (key != command.key) continue;
        command.run(game, command, now);
        if (command.echoed) {
            game.play.KeyShownAt = now;
            SpeakIfEchoing(game, command.cue);
        }
        return;
    }
    platform::PlayCue(*game.platform, "thunk");
}

// -- The loop --

void PlayFrame(GameState& game) {
    platform::Platform& platform = *game.platform;
    Wander& wander = game.wander;
    wander.WanderFrame += 1;
    WanderSchedule(game, wander.WanderFrame, 5);
    if (wander.WanderFrame >= kFrameCounterWrap) wander.WanderFrame = 0;

    std::string& key = game.play.KeyPressed;
    key.clear();
    for (int poll = 0; poll < kKeyPolls && key.empty(); ++poll) key = platform::GraphicInkey(platform);

    if (!key.empty()) {
        for (char& c : key) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        if (key == "`" || key == "~") key = "F";
        game.play.KeyShown = key;
        game.play.KeyShownAt = 0;
        HandlePlayKey(game, key);
        // Leaving draws nothing more: the next pass opens a new window.
        if (game.flow.Quit || key == kLeaveEtude) return;
    }

    render::DrawScene(game);
    platform::GraphicRedraw(platform);
}

PlayExit RunPlayLoop(GameState& game) {
    platform::Platform& platform = *game.platform;
    for (;;) {
        if (platform::QuitRequested(platform)) game.flow.Quit = true;
        if (game.flow.Quit) return PlayExit::Quit;
        PlayFrame(game);
        if (game.flow.Quit) return PlayExit::Quit;
        if (game.play.KeyPressed == kLeaveEtude) return PlayExit::MainMenu;
    }
}

}  // namespace etude
