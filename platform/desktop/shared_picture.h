#pragma once
// The canvas shown by the X server straight from the game's own pixels: they
// live in shared memory the server attaches, so a picture goes to the window
// without first being copied into SDL's window surface. Where the server or
// its window cannot take them (another machine's display, another pixel
// layout) nothing is shared and the window surface is used as before. The
// pixels must not change while a picture is being sent.

#include "platform/cairo/canvas.h"

#include <SDL.h>

namespace platform {

struct SharedPictureState;  // the server's side of the canvas's pixels

struct SharedPicture {
    SharedPictureState* state = nullptr;  // null: not shared
};

// Whether the window's display server offers to read a client's memory (it
// may still refuse this client's, when it runs on another machine).
bool DisplaySharesMemory(SDL_Window* window);
// Lets the window's X server read the canvas's pixels; false (and nothing
// shared) when that cannot be done.
bool ShareCanvasWithWindow(SharedPicture& shared, SDL_Window* window, const Canvas& canvas);
// Sends the regions (count of them, or the whole picture for -1) and returns
// once the server has read them.
void SendSharedPicture(SharedPicture& shared, const PixelRect* regions, int count);
// The server lets the pixels go; before the window or the canvas goes.
void StopSharingPicture(SharedPicture& shared);

// The game thread's own connection to the window's display, through which it
// sends its pictures itself once the window shows them: a picture then costs
// no hand-over between the threads, which on a laptop wakes a second
// processor sixty times a second. Logic thread only.
struct OwnDisplay {
    void* display = nullptr;  // Xlib's connection, opened at first use
    bool failed = false;      // it cannot be had: pictures go through the main thread
    SharedPicture picture;    // the canvas shared with `window` through it
    unsigned long window = 0;
};

// Shares the canvas with the X window through the game thread's own
// connection to the named display, unless it is already; false when that
// cannot be done.
bool ShareThroughOwnDisplay(OwnDisplay& own, const char* display_name, unsigned long x_window, const Canvas& canvas);
// Lets the pixels go before the window goes; closing the connection too at the end.
void StopOwnDisplay(OwnDisplay& own, bool close_connection);

}  // namespace platform
