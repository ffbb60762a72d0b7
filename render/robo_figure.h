#pragma once
// One ROBO copy, its sections sorted farthest first and painted in their
// colours, with the one-second right-hand and hyphen-head effects. Owns
// RoboDistance, RoboOrder and the expiry of the effects.

#include "app/game_state.h"
#include "platform/platform.h"

namespace render {

void DrawRobo(GameState& game, int wall);

// The colour of ROBO section 1..69, with the right hand lit or not. False (and
// the colour untouched) for a number the colour table does not know.
bool RoboSectionColor(int section, bool right_hand, platform::Color& color);

}  // namespace render
