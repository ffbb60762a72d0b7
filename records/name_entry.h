#pragma once
// The two question screens: the player's name (validated, asked again until it
// is valid) and the past performance reach (brought into 1..10000 silently).
// Owns PlayerName and PastPerformanceReach.

#include "core/game_state.h"

namespace records {

void EnterPlayerName(GameState& game);
void AskPastPerformanceReach(GameState& game);

}  // namespace records
