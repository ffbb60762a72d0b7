#pragma once
// Shared set-up for the etude tests: the craft and its six ROBO copies built on
// the reference screen without a window, the six turn keys as the player sees
// them, and the undo keys of a tumbled etude found from the geometry alone
// (which key, pressed as often as expected, puts each copy back in its rest pose).

#include "app/pass_setup.h"
#include "core/game_state.h"
#include "data/glyphs.h"
#include "data/robo_model.h"
#include "etude/generation.h"
#include "etude/motions.h"
#include "etude/outcome.h"
#include "render/view.h"

#include <cmath>
#include <memory>
#include <string>

namespace etude_test {

struct TurnKeyInfo {
    char key;
    int axis;  // 1 roll, 2 yaw, 3 pitch
    int sign;
};
constexpr TurnKeyInfo kTurnKeys[6] = {
    {'7', 3, +1}, {'4', 3, -1}, {'8', 2, +1}, {'5', 2, -1}, {'9', 1, +1}, {'6', 1, -1},
};

inline char KeyFor(int axis, int sign) {
    for (const auto& key : kTurnKeys) {
        if (key.axis == axis && key.sign == sign) return key.key;
    }
    return '?';
}

using RoboCopy = Indexed<RoboSectionPoints, 0, NumRoboSections>;

inline double LargestGap(const RoboCopy& a, const RoboCopy& b) {
    double gap = 0;
    for (int s = 0; s <= NumRoboSections; ++s) {
        for (int p = 0; p <= 4; ++p) {
            gap = std::fmax(gap, std::fabs(a[s][p].x - b[s][p].x));
            gap = std::fmax(gap, std::fabs(a[s][p].y - b[s][p].y));
            gap = std::fmax(gap, std::fabs(a[s][p].z - b[s][p].z));
        }
    }
    return gap;
}

// Every wall gets the same letter turn and target turn; the ROBO copies stand
// in their rest poses and the letters are placed, on the reference screen.
inline std::unique_ptr<GameState> BuildRestWalls(int letter_turn, int target_turn) {
    auto game = std::make_unique<GameState>();
    app::SceneChoice choice;
    choice.width = 3840;
    choice.height = 2160;
    choice.letter_turns.fill(letter_turn);
    choice.target_turns.fill(target_turn);
    app::PassSetUp(*game, &choice);
    etude::PrepareRoboCopies(*game);
    etude::SceneSetUp(*game);
    return game;
}

// The keys that undo every wall's tumble, walls 1..6 in order: for each wall
// the one key that, pressed FaceKeyStrokes(wall, 0) times, restores the rest
// pose that PrepareRoboCopies gives. "" when some wall has no such key.
inline std::string UndoKeys(const GameState& game) {
    auto rest = std::make_unique<GameState>(game);
    etude::PrepareRoboCopies(*rest);
    auto probe = std::make_unique<GameState>(game);
    std::string keys;
    for (int f = 1; f <= NumFaces; ++f) {
        int presses = game.etude.FaceKeyStrokes[f][0];
        char found = 0;
        for (const auto& key : kTurnKeys) {
            probe->robo.RoboONFACE[f] = game.robo.RoboONFACE[f];
            for (int i = 0; i < presses; ++i) {
                etude::RotateRoboCopy(*probe, f, key.axis, key.sign * etude::KeyTurnAngle);
            }
            if (LargestGap(probe->robo.RoboONFACE[f], rest->robo.RoboONFACE[f]) < 1e-6) found = key.key;
        }
        if (found == 0) return "";
        keys.append(static_cast<std::size_t>(presses), found);
    }
    return keys;
}

namespace detail {

inline bool FindSequence(GameState& game, int wall, int depth, std::string& keys) {
    const float target_distance = game.etude.ToeDist[wall][static_cast<int>(game.etude.ToeDist[wall][-1])];
    bool solves = etude::MatchedCorner(game, wall) == static_cast<int>(game.etude.ToeDist[wall][-1]);
    if (depth == 0) {
        // Keep well inside the tolerance, so the drift's rounding cannot tip it.
        return solves && std::fabs(etude::ToeToAnchorDistance(game, wall) - target_distance) < 0.09;
    }
    if (solves && !keys.empty()) return false;  // the goal test would have ended the wall earlier
    const RoboCopy saved = game.robo.RoboONFACE[wall];
    for (const auto& key : kTurnKeys) {
        etude::RotateRoboCopy(game, wall, key.axis, key.sign * etude::KeyTurnAngle);
        keys.push_back(key.key);
        bool found = FindSequence(game, wall, depth - 1, keys);
        game.robo.RoboONFACE[wall] = saved;
        if (found) return true;
        keys.pop_back();
    }
    return false;
}

}  // namespace detail

// A sequence of one press more than expected that solves the wall from its
// tumbled pose and no earlier, or "" when the wall has none. The toe's
// distance is a single number, so now and then another pose happens to
// match the target corner too.
inline std::string ExtraPressSolution(const GameState& game, int wall) {
    auto probe = std::make_unique<GameState>(game);
    std::string keys;
    int depth = game.etude.FaceKeyStrokes[wall][0] + 1;
    return detail::FindSequence(*probe, wall, depth, keys) ? keys : std::string();
}

}  // namespace etude_test
