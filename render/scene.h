#pragma once
// Painting one whole picture of the play scene, back to front: sky, frames,
// status texts, keystroke counts, key echo, the performance table, and the six
// walls in the order chosen from the three apexes nearest the eye, with the
// marker and the ROBO copies between them. Owns FaceColor, the looks' per-frame
// update, NearestApexes, DrawCharFacesInThisORDER and the star table.

#include "app/game_state.h"

#include <string>

namespace render {

void BuildFaceColors(GameState& game);     // the fixed wall colours, at every pass
void ResetFaceLooks(GameState& game);      // looks 3, ROBO arrived on wall 1 only
void BuildStarTable(GameState& game);      // 2000 stars, StarPhase 1.0, at every pass

void FindNearestApexes(GameState& game);
void ChooseWallOrder(GameState& game);
void DrawMarker(GameState& game);

// The verdict line once the etude is finished: excess 0 wins, anything else loses.
std::string VerdictLine(int excess);

// Paints the picture into the window buffer; showing it is the caller's GraphicRedraw.
void DrawScene(GameState& game);
// The craft alone, as the picture paints it: the six walls in their order with
// the marker and the ROBO copies between them (the icon is drawn with it).
void DrawCraft(GameState& game);

}  // namespace render
