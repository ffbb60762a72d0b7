#pragma once
// Start-up and the endless cycle of passes: set-up, window, name, history,
// menu, etude and play, until Esc or EXIT.

#include "core/game_state.h"

namespace platform {
struct Platform;
}

namespace app {

void StartUp(GameState& game);         // seed, defaults, the start cue
bool OpenPassWindow(GameState& game);  // the window set-up of every pass
void RunPass(GameState& game);         // one whole pass; sets flow.Quit when the program should end
int RunGame(platform::Platform& platform);  // the whole run; returns the exit status

}  // namespace app
