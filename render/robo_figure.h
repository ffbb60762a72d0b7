#pragma once
// One ROBO copy, its sections sorted farthest first and painted in their
// colours, with the one-second right-hand and hyphen-head effects. Owns
// RoboDistance, RoboOrder and the expiry of the effects.

#include "app/game_state.h"

namespace render {

void DrawRobo(GameState& game, int wall);

}  // namespace render
