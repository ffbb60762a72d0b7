#pragma once
// The ROBO model: 69 four-cornered sections in model units, scaled by
// RoboScaleUnit about the model point (4, 5, 0), with each section's
// bounding-box centre as point 0. Owns RoboRAW sections 1..69 and
// PointsPerRoboSection.

#include "core/game_state.h"

namespace data {

void FillRoboModel(GameState& game);  // needs screen.RoboScaleUnit

}  // namespace data
