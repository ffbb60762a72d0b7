#include "etude/generation.h"

#include "core/rounding.h"
#include "etude/motions.h"
#include "etude/outcome.h"
#include "platform/platform.h"
#include "platform/random.h"

#include <algorithm>
#include <cmath>

namespace etude {

namespace {

// The four corners of a wall's letter square in centred glyph units: corner k
// is where the letter's anchor lands when the letter is turned by (k - 1) x 90.
constexpr Point3d kLetterCorners[4] = {
    {-3.5, -3.5, -3.5},
    {3.5, -3.5, -3.5},
    {3.5, 3.5, -3.5},
    {-3.5, 3.5, -3.5},
};

struct Tumble {
    int axis;             // 1 roll, 2 yaw, 3 pitch
    int degrees;          // signed: -135 .. +135 in steps of 45
    std::int16_t presses; // the presses of the opposite key that undo it
};

// The axis of kinds 1..12 is fixed by the kind's group; kinds 13..16 draw it
// for every wall, and the draw is the axis tip number itself.
int DrawTumbleAxis(GameState& game, int kind) {
    switch ((kind - 1) / 4) {
        case 0: return 3;
        case 1: return 2;
        case 2: return 1;
        default: return platform::RandomInteger(game.random, 1, 3);
    }
}

// Steps 1..3 of a kind fix the size (45, 90, 135) and draw only the sign;
// step 4 draws size and sign together: 1 -45, 2 +45, 3 -90, 4 +90, 5 -135, 6 +135.
Tumble DrawTumble(GameState& game, int kind) {
    Tumble tumble{};
    tumble.axis = DrawTumbleAxis(game, kind);
    int step = (kind - 1) % 4 + 1;
    if (step <= 3) {
        int draw = platform::RandomInteger(game.random, 1, 2);
        tumble.presses = static_cast<std::int16_t>(step);
        tumble.degrees = (draw == 1 ? -45 : 45) * step;
    } else {
        int draw = platform::RandomInteger(game.random, 1, 6);
        tumble.presses = static_cast<std::int16_t>((draw + 1) / 2);
        tumble.degrees = (draw % 2 == 1 ? -45 : 45) * tumble.presses;
    }
    return tumble;
}

double Distance(const Point3d& a, const Point3d& b) {
    double dx = a.x - b.x;
    double dy = a.y - b.y;
    double dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

// -- Per-etude draws --

void SetWallTurns(GameState& game, int wall, int letter_turn, int target_turn) {
    auto& turns = game.etude.TumbleHistoryDegreesCCW[wall];
    turns[1] = static_cast<std::int16_t>(letter_turn);
    turns[2] = static_cast<std::int16_t>(target_turn);
    // ROBO stands turned so that the letter's turn less ROBO's is the target's.
    int robo_turn = letter_turn - target_turn;
    if (robo_turn < 0) robo_turn += 360;
    turns[3] = static_cast<std::int16_t>(robo_turn);
}

void PerEtudeDraws(GameState& game) {
    for (int f = 1; f <= NumFaces; ++f) {
        const int letter_turn = 90 * platform::RandomInteger(game.random, 0, 3);
        const int target_turn = 90 * platform::RandomInteger(game.random, 0, 3);
        SetWallTurns(game, f, letter_turn, target_turn);
    }
    ResetEtudeTally(game);
}

void ResetEtudeTally(GameState& game) {
    Etude& etude = game.etude;
    for (int f = 1; f <= NumFaces; ++f) etude.FaceKeyStrokes[f][1] = 0;
    etude.FacesDone = 0;
    etude.Duration = 0;
    etude.EtudeStartTime = 0;
    etude.RoboShrink.Fill(1.0);
    etude.Face = 1;
    game.play.KeyShown.clear();
    game.play.KeyShownAt = 0;
}

void FillToeDistTargets(GameState& game) {
    Etude& etude = game.etude;
    for (int k = 1; k <= 4; ++k) etude.ToeDist[0][k] = static_cast<float>(90 * (k - 1));

    for (int f = 1; f <= NumFaces; ++f) {
        auto& row = etude.ToeDist[f];
        int target_turn = etude.TumbleHistoryDegreesCCW[f][2];
        if (target_turn == 0 || target_turn == 90 || target_turn == 180 || target_turn == 270) {
            row[-1] = static_cast<float>(target_turn / 90 + 1);
        } else if (game.platform != nullptr) {
            platform::Platform& platform = *game.platform;
            platform::ConsolePrintText(platform, "ERROR TumbleHistoryDegreesCCW(Face, 3)=");
            platform::ConsolePrintNumber(platform, etude.TumbleHistoryDegreesCCW[f][3], false);
            platform::ConsolePrintText(platform, "JJJJJJ");
            platform::ConsoleNewLine(platform);
            platform::PauseForEnter(platform, "");
        }
        row[0] = 0;
        // The corner distances are filled at the scene set-up. Until then they
        // stay zero, so the goal test that closes every tumble can never match:
        // distances left over from an earlier pass (perhaps on another screen
        // size) must not solve a wall before play begins.
        for (int k = 1; k <= 4; ++k) row[k] = 0;
    }
}

void MarkAllSectionsDrawn(GameState& game) {
    for (int f = 1; f <= NumFaces; ++f) {
        for (int s = 1; s <= NumRoboSections; ++s) game.robo.RoboONFACE[f][s][-1].x = kTrue;
    }
}

// -- The tumbles --

void GenerateTumbles(GameState& game) {
    PrepareRoboCopies(game);
    // The menu only offers kinds 1..16; anything else is read as the nearest kind.
    int kind = std::clamp<int>(game.settings.EtudeNumber, 1, NumEtudeKinds);
    for (int f = 1; f <= NumFaces; ++f) {
        game.etude.Face = static_cast<std::int16_t>(f);
        Tumble tumble = DrawTumble(game, kind);
        game.etude.FaceKeyStrokes[f][0] = tumble.presses;
        game.etude.TurnAxis = static_cast<std::int16_t>(tumble.axis);
        game.etude.TurnAngle = tumble.degrees * DegToRad;
        BodyTurn(game);
    }
}

// -- Scene set-up --

void SceneSetUp(GameState& game) {
    Etude& etude = game.etude;
    const Screen& screen = game.screen;
    etude.Face = 1;

    if (game.platform != nullptr) {
        platform::SetGameFont(*game.platform, "verdana", RoundToInt32(screen.TextScale * 15.0));
        platform::GraphicRedraw(*game.platform);
    }

    // The toe of a copy in its rest pose with ROBO turn 0, in wall 1's frame.
    // Measured against the corner that the target turn gives the anchor, the
    // rest pose of every wall is exactly the pose that solves it.
    const double unit = screen.RoboScaleUnit;
    const Point3d toe_reference{-4.0 * unit, -5.0 * unit, unit + screen.RoboStandOff};
    for (int k = 1; k <= 4; ++k) {
        const Point3d& corner = kLetterCorners[k - 1];
        Point3d scaled{screen.CubeScaleUnit * corner.x, screen.CubeScaleUnit * corner.y,
                       screen.CubeScaleUnit * corner.z};
        auto distance = static_cast<float>(Distance(scaled, toe_reference));
        for (int f = 1; f <= NumFaces; ++f) etude.ToeDist[f][k] = distance;
    }

    PrepareLetters(game);
}

}  // namespace etude
