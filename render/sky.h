#pragma once
// The sky behind the craft: the pass's star table, built at every pass and
// growing a little with every star drawn, or a fresh scatter of pale stars at
// every frame. Stars whose disc
// lies under the main frame's black fill are never seen, so the scene skips
// painting them while still taking their growth step and their random draws.
// The plain path (every star painted, as the picture is defined) is kept for
// the test that proves both paths give the same picture, and for the benchmark.

#include "core/game_state.h"

namespace render {

enum class StarPainting {
    SkipHidden,  // the game's path: stars under the main frame are not painted
    PaintAll,    // every star painted, only for comparison
};

// True when a star's disc of this radius around (x, y), with its one-pixel
// outline, lies wholly under the black fill of the main frame.
bool StarHiddenByFrame(const Screen& screen, double x, double y, double radius);

// 2000 stars, StarPhase 1.0, at every pass.
void BuildStarTable(GameState& game);

// Paints the sky of SkyMode; returns the number of stars actually painted.
int DrawSky(GameState& game, StarPainting painting);

}  // namespace render
