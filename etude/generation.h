#pragma once
// Making an etude: the per-etude draws of each pass (letter and target turns,
// bookkeeping resets, corner numbers), the tumbles after PLAY, and the scene
// set-up just before the play loop. Owns TumbleHistoryDegreesCCW, ToeDist and
// FaceKeyStrokes(wall, 0).

#include "core/game_state.h"

namespace etude {

// Letter turn then target turn per wall, then the bookkeeping resets.
void PerEtudeDraws(GameState& game);
// One wall's letter and target turns (0, 90, 180, 270) and the ROBO turn they give.
void SetWallTurns(GameState& game, int wall, int letter_turn, int target_turn);
// The bookkeeping resets of a new etude: presses, walls done, times, ROBO sizes, key echo.
void ResetEtudeTally(GameState& game);
// ToeDist row 0 and each wall's target corner (the consistency check included).
void FillToeDistTargets(GameState& game);
// Marks every ROBO section of every wall as drawn.
void MarkAllSectionsDrawn(GameState& game);
// Places the six copies and knocks each out of its rest pose by one body turn.
void GenerateTumbles(GameState& game);
// Face 1, the etude font, glyphs loaded, centred, corner distances, letters turned and placed.
void SceneSetUp(GameState& game);

}  // namespace etude
