#pragma once
// The desktop back end's door, for main() alone: the SDL window on the
// program's main thread, the game on a logic thread of its own.

#include "platform/platform.h"

namespace platform {

// The desktop back end needs the program's main thread for the window; the
// game logic runs on a second thread. RunDesktop starts both, calls game() on
// the logic thread and returns game()'s result once it returns and the window
// is closed. With no display it prints one line and returns non-zero.
int RunDesktop(int (*game)(Platform& platform));

}  // namespace platform
