#pragma once
// The canvas shown by the X server straight from the game's own pixels: they
// live in shared memory the server attaches, so a picture goes to the window
// without first being copied into SDL's window surface. Where the server or
// its window cannot take them (another machine's display, another pixel
// layout) nothing is shared and the window surface is used as before. Main
// thread only; the pixels must not change while a picture is being sent.

#include "platform/cairo/canvas.h"

#include <SDL.h>

namespace platform {

struct SharedPictureState;  // the server's side of the canvas's pixels

struct SharedPicture {
    SharedPictureState* state = nullptr;  // null: not shared
};

// Lets the window's X server read the canvas's pixels; false (and nothing
// shared) when that cannot be done.
bool ShareCanvasWithWindow(SharedPicture& shared, SDL_Window* window, const Canvas& canvas);
// Sends the regions (count of them, or the whole picture for -1) and returns
// once the server has read them.
void SendSharedPicture(SharedPicture& shared, const PixelRect* regions, int count);
// The server lets the pixels go; before the window or the canvas goes.
void StopSharingPicture(SharedPicture& shared);

}  // namespace platform
