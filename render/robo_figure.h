#pragma once
// One ROBO copy, its sections sorted farthest first and painted in their
// colours, with the one-second right-hand and hyphen-head effects. Owns
// RoboDistance, RoboOrder (the painting's own sort) and the expiry of the
// effects, which the frame's step before painting carries out.

#include "core/game_state.h"
#include "platform/platform.h"

namespace render {

// Ends the right-hand and hyphen-head effects whose second is over.
void ExpireEffects(GameState& game);
// Paints one copy as the effects stand; sorts its sections into RoboOrder.
void PaintRobo(GameState& game, int wall);
// One copy on its own: its effects expired, then painted.
void DrawRobo(GameState& game, int wall);

// The colour of ROBO section 1..69, with the right hand lit or not. False (and
// the colour untouched) for a number the colour table does not know.
bool RoboSectionColor(int section, bool right_hand, platform::Color& color);

}  // namespace render
