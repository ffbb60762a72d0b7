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

struct TurnKey {
    std::string_view key;
    std::int16_t axis;  // 1 roll, 2 yaw, 3 pitch
    int sign;           // +1 counter-clockwise seen from the axis tip
    std::string_view cue;
};

constexpr TurnKey kTurnKeys[] = {
    {"7", 3, +1, "speakpu"}, {"4", 3, -1, "speakpd"},  // pitch up, down
    {"8", 2, +1, "speakyr"}, {"5", 2, -1, "speakyl"},  // yaw right, left
    {"9", 1, +1, "speakrr"}, {"6", 1, -1, "speakrl"},  // roll right, left
};

struct LookKey {
    std::string_view key;
    int wall;
    std::string_view cue;
};

constexpr LookKey kLookKeys[] = {
    {"R", 1, "speakred"},    {"G", 2, "speakgreen"},  {"B", 3, "speakblue"},
    {"Y", 4, "speakyellow"}, {"P", 5, "speakpurple"}, {"C", 6, "speakcyan"},
};

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

void TurnCommand(GameState& game, const TurnKey& turn, double now) {
    Etude& etude = game.etude;
    if (etude.FacesDone >= NumFaces) return;
    int wall = etude.Face;
    auto& strokes = etude.FaceKeyStrokes[wall];
    strokes[1] = static_cast<std::int16_t>(strokes[1] + 1);
    if (strokes[0] > strokes[1]) HideOneSection(game, wall);
    game.play.KeyShownAt = now;
    SpeakIfEchoing(game, turn.cue);
    etude.TurnAxis = turn.axis;
    etude.TurnAngle = turn.sign * KeyTurnAngle;
    BodyTurn(game);
}

// The scene stands still until the player ends a typed line; the text is not used.
void FreezeCommand(GameState& game, double now) {
    platform::Platform& screen = *game.platform;
    SpeakIfEchoing(game, "speakfreezemotionenter");
    game.play.KeyShownAt = now;
    platform::GraphicSetPos(screen, -game.screen.HalfWidth + 10.0f, -game.screen.HalfHeight + 30.0f);
    platform::GraphicLineInput(screen);
}

// An etude left after one to five walls is recorded as incomplete; a finished
// one was recorded when its sixth wall was solved, and an untouched one leaves
// no trace.
void LeaveCommand(GameState& game) {
    std::int16_t done = game.etude.FacesDone;
    if (done > 0 && done < NumFaces) {
        records::RecordIncompleteEtude(game);
        game.play.KeyShownAt = platform::Timer(*game.platform);
    }
    if (done == NumFaces) SpeakIfEchoing(game, "speakmainmenu");
}

}  // namespace

// -- Key commands --

void HandlePlayKey(GameState& game, const std::string& key) {
    platform::Platform& screen = *game.platform;
    const double now = platform::Timer(screen);

    for (const TurnKey& turn : kTurnKeys) {
        if (key == turn.key) {
            TurnCommand(game, turn, now);
            return;
        }
    }
    for (const LookKey& look : kLookKeys) {
        if (key == look.key) {
            StepLook(game, look.wall);
            game.play.KeyShownAt = now;
            SpeakIfEchoing(game, look.cue);
            return;
        }
    }

    Robo& robo = game.robo;
    if (key == "A") {
        for (int w = 1; w <= NumFaces; ++w) StepLook(game, w);
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speakallsixwalls");
    } else if (key == "Z") {
        for (int w = 1; w <= NumFaces; ++w) game.scene.FaceLook[w][0] = kNoObstructionLook;
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speakzeroobstructions");
    } else if (key == "D") {
        robo.ShowRightHand = true;
        robo.ShowRightHandAt = now;
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speakshowrighthand");
    } else if (key == "X") {
        robo.ShowHyphenHead = true;
        robo.ShowHyphenHeadAt = now;
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speakshowhyphenhead");
    } else if (key == "E") {
        // The cue follows the new mode: turning the echo off is silent.
        game.settings.EchoMode = static_cast<std::int16_t>((game.settings.EchoMode + 1) % 4);
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speakecho");
    } else if (key == "S") {
        game.sky.SkyMode = static_cast<std::int16_t>((game.sky.SkyMode + 1) % 9);
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speaksky");
    } else if (key == "W") {
        DrawNewWanderSenses(game);
        game.play.KeyShownAt = now;
        SpeakIfEchoing(game, "speakwhitherwander");
    } else if (key == "F") {
        FreezeCommand(game, now);
    } else if (key == kLeaveEtude) {
        LeaveCommand(game);
    } else if (key == kEscape) {
        platform::PlayCue(screen, "speakquit");
        game.flow.Quit = true;
    } else {
        platform::PlayCue(screen, "thunk");
    }
}

// -- The loop --

void PlayFrame(GameState& game) {
    platform::Platform& screen = *game.platform;
    Wander& wander = game.wander;
    wander.WanderFrame += 1;
    WanderSchedule(game, wander.WanderFrame, 5);
    if (wander.WanderFrame >= kFrameCounterWrap) wander.WanderFrame = 0;

    std::string& key = game.play.KeyPressed;
    key.clear();
    for (int poll = 0; poll < kKeyPolls && key.empty(); ++poll) key = platform::GraphicInkey(screen);

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
    platform::GraphicRedraw(screen);
    game.etude.FirstFrame = false;
}

PlayExit RunPlayLoop(GameState& game) {
    platform::Platform& screen = *game.platform;
    game.etude.FirstFrame = true;
    for (;;) {
        if (platform::QuitRequested(screen)) game.flow.Quit = true;
        if (game.flow.Quit) return PlayExit::Quit;
        PlayFrame(game);
        if (game.flow.Quit) return PlayExit::Quit;
        if (game.play.KeyPressed == kLeaveEtude) return PlayExit::MainMenu;
    }
}

}  // namespace etude
