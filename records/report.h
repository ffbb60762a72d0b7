#pragma once
// The performance table beside the scene, drawn at every frame from the history
// in memory: per etude kind the fastest win among the most recent etudes and
// the won, lost and incomplete counts with the share won. Writes record 0 of
// PlayerHistory as scratch.

#include "app/game_state.h"

namespace records {

void DrawPerformanceReport(GameState& game);

}  // namespace records
