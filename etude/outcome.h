#pragma once
// When a wall is solved and what follows: the goal test after every body turn,
// the sinking animation with its shrink, arrival at the next wall, and the
// record of a finished etude. Owns RoboShrink, SinkStart and ToeDist(w, 0).

#include "core/game_state.h"

namespace etude {

constexpr double SunkShrink = 0.6;
constexpr float SinkSeconds = 1.6f;
constexpr float GoalTolerance = 0.1f;

// The turn of the current wall's ROBO copy by TurnAxis and TurnAngle, ending with the goal test.
void BodyTurn(GameState& game);
void GoalTest(GameState& game);
// The distance from the wall's ROBO toe to its letter's anchor point.
double ToeToAnchorDistance(const GameState& game, int wall);
// The first corner 1..4 whose distance the toe matches within GoalTolerance, or 0.
// Pure: the goal test acts on it, and a search can ask it without side effects.
int MatchedCorner(const GameState& game, int wall);
void SolveWall(GameState& game);
void SinkingStep(GameState& game);
void ShrinkStep(GameState& game);

}  // namespace etude
