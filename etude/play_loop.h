#pragma once
// The play loop: one wander frame, at most one key command and a full redraw
// per pass, until "1" (back to the menu) or Esc (the program ends). Owns
// KeyPressed, KeyShown, KeyShownAt, SkyMode changes and the ROBO effects' flags.

#include "core/game_state.h"

#include <string>

namespace etude {

enum class PlayExit { MainMenu, Quit };

// Carries out one key command (the key as read from the window).
void HandlePlayKey(GameState& game, const std::string& key);
// One pass of the loop: wander, read a key, carry it out, draw and show.
void PlayFrame(GameState& game);
PlayExit RunPlayLoop(GameState& game);

}  // namespace etude
