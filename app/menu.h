#pragma once
// The main menu: the only place where the settings change. Returns when the
// player chooses 98 PLAY; 99 EXIT sets flow.Quit and returns.

#include "core/game_state.h"

namespace app {

void ShowMainMenu(GameState& game);
// Carries out one menu choice (already rounded); false for 98 and 99, which end the menu.
bool ApplyMenuChoice(GameState& game, int choice);

}  // namespace app
