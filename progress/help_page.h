#pragma once
// The HELP page of menu choice 61: one page in plain words on what an etude
// is, what solves a wall (with a drawing of the letter strip), the keys, the
// verdict, the looks and echoes, and where the records are kept. Drawn in the
// game window with the game's faces and colours, sized by TextScale so that
// it fits every screen from 1024 x 768 to 3840 x 2160. Reads the settings and
// the screen metrics only.

#include "app/game_state.h"

namespace progress {

// Draws the page and waits: Enter or "1" goes back to the menu, Esc ends the
// program (flow.Quit) after the quit cue, as it does in play.
void ShowHelpPage(GameState& game);

// The page's picture alone, for the pictures in docs/ and for tests.
void DrawHelpPage(GameState& game);

}  // namespace progress
