#pragma once
// One wall of the craft with its letter, painted by the wall's look, and the
// wall's cells in the flat letter strip at the top of the window.

#include "core/game_state.h"

namespace render {

void DrawWall(GameState& game, int wall);

}  // namespace render
