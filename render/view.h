#pragma once
// The geometry of the picture: screen metrics and the layout grid computed from
// the desktop work area at every pass, and the one perspective projection.
// Owns GameState::screen.

#include "core/game_state.h"

namespace render {

constexpr float ViewUnit = 63;
constexpr float ViewerGap = 5 * ViewUnit;     // 315
constexpr float FocalLength = 70 * ViewUnit;  // 4410

// Fills every screen metric and both layout tables for a work area of this size.
void ComputeScreenMetricsFor(Screen& screen, int work_width, int work_height);
// The same from the platform's desktop work area.
void ComputeScreenMetrics(GameState& game);

Point2f ProjectPoint(double x, double y, double z);

}  // namespace render
