#pragma once
// The painting order of the six walls, read off the three apexes nearest the
// eye. Owns NearestApexes, NearestApexDistances and DrawCharFacesInThisORDER.

#include "core/game_state.h"

namespace render {

void FindNearestApexes(GameState& game);
void ChooseWallOrder(GameState& game);

}  // namespace render
