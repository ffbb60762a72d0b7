#pragma once
// Everything that moves the scene's points: the placement of letters and ROBO
// copies on their walls, the body turn of one ROBO copy about its own axis, and
// the slow wander of the whole scene. Geometry is held only as point lists
// transformed in place. Owns CharTURNED, CharONFACE, CharMINI, RoboTURNED,
// RoboONFACE, WanderMarker and the wander senses.

#include "core/game_state.h"

namespace etude {

constexpr double DegToRad = 3.14159265359 / 180.0;
constexpr double KeyTurnAngle = 45.0 * DegToRad;
constexpr double WanderStep = 0.13 * DegToRad;

// -- Letters --
void CentreGlyphs(GameState& game);      // 3.5 off every coordinate of CharRAW, walls 0..6
void TurnLetters(GameState& game);       // CharTURNED: scale by CubeScaleUnit, turn by TumbleHistoryDegreesCCW(w, 1)
void MakeMiniatures(GameState& game);    // CharMINI: StripUnit x the centred glyph in four turns
void PlaceLetters(GameState& game);      // CharONFACE from CharTURNED by the per-wall permutation
// The craft and the six letters of glyphs.FaceLetter from the glyph table to their walls:
// loaded afresh, centred once, turned, miniatures made and placed.
void PrepareLetters(GameState& game);
// One wall (0..6) of PlaceLetters; any other number stops for the player and moves nothing.
void PlaceLetterOnWall(GameState& game, int wall);

// -- ROBO copies --
void FillRoboBodyFrame(GameState& game);   // RoboRAW section 0: origin and the three axis tips
void PrepareRoboCopies(GameState& game);   // RoboTURNED by TumbleHistoryDegreesCCW(w, 3), placed into RoboONFACE
// The two halves of PrepareRoboCopies for one wall (1..6). A wall or a turn out
// of range stops for the player; a bad turn is then taken as no turn.
void TurnRoboForWall(GameState& game, int wall);
void PlaceRoboOnWall(GameState& game, int wall);
// Rodrigues turn of wall's ROBO copy about its body axis (1 roll, 2 yaw, 3 pitch)
// through its body origin. Touches no other wall and no drawn flag.
void RotateRoboCopy(GameState& game, int wall, int axis, double angle);

// -- Wander --
void BuildWanderMarker(GameState& game);   // the 11-point marker scaled by 30 x WindowScale
// Turns the pair of world coordinates (a, b) (1 = x, 2 = y, 3 = z) of every scene point.
void WanderStepTurn(GameState& game, int a, int b, double scene_angle, double marker_angle);
// One step of the schedule for a counter already incremented by the caller.
void WanderSchedule(GameState& game, std::int32_t counter, double marker_multiplier);
void DrawInitialWanderSenses(GameState& game);  // six plain draws
void DrawNewWanderSenses(GameState& game);      // scene senses must change; marker senses drawn once

}  // namespace etude
