#pragma once
// The glyph table: the 26 capital letters as flat polygons on a 7 x 7 grid, and
// the per-wall slots they are loaded into (slot 0 holds the craft's apexes).
// Owns SectionsPerCharacter, PointsPerCharSection and CharRAW.

#include "core/game_state.h"

namespace data {

void LoadCraftApexes(GameState& game);          // slot 0: the eight apexes, grid units
void LoadBuiltInGlyph(GameState& game, int face);  // a letter with no glyph leaves the slot as it was
void LoadFaceGlyphs(GameState& game);           // faces 1..6 from glyphs.FaceLetter

}  // namespace data
