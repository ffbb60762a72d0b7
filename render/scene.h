#pragma once
// One whole picture of the play scene, back to front: sky, frames, status
// texts, keystroke counts, key echo, the performance table, and the six walls
// in the order chosen from the three apexes nearest the eye, with the marker
// and the ROBO copies between them. What a frame changes in the state (the
// etude's clock, the key echo, the wall order, the looks, the ROBO effects) is
// changed in one step before the painting. Owns FaceColor and the looks'
// per-frame update.

#include "core/game_state.h"
#include "render/sky.h"

#include <string>

namespace render {

void BuildFaceColors(GameState& game);     // the fixed wall colours, at every pass
void ResetFaceLooks(GameState& game);      // looks 3, ROBO arrived on wall 1 only

void DrawMarker(const GameState& game);

// The verdict line once the etude is finished: excess 0 wins, anything else loses.
std::string VerdictLine(int excess);

// The frame's step before painting: starts the etude's clock at its first
// picture, ends the key echo after two seconds, then PrepareCraft.
void AdvanceSceneFrame(GameState& game);
// The craft's part of that step: nearest apexes, wall order, the walls' looks,
// the ROBO effects that are over.
void PrepareCraft(GameState& game);

// One frame: AdvanceSceneFrame, then the picture painted into the window
// buffer; showing it is the caller's GraphicRedraw.
void DrawScene(GameState& game);
// The same with a chosen star path.
void DrawSceneWith(GameState& game, StarPainting painting);
// The picture alone, as the state stands. Only the sky (its growth and its
// random stars) and the ROBO figures' own sort still write to the state.
void PaintScene(GameState& game, StarPainting painting);

// The craft alone, as the picture paints it: the six walls in their order with
// the marker and the ROBO copies between them (the icon is drawn with it).
// DrawCraft is PrepareCraft then PaintCraft.
void DrawCraft(GameState& game);
void PaintCraft(GameState& game);

}  // namespace render
