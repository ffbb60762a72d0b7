#pragma once
// The desktop window's own chores, apart from the two threads that share it:
// finding a display, placing the window, its X connection and its refresh
// rate. Main thread only.

#include <SDL.h>
#include <SDL_syswm.h>

#include <chrono>

namespace platform {

// -- The display --
bool IsSet(const char* variable);  // an environment variable that is set and not empty
// A display to open windows on: X11 or Wayland, or a driver asked for by name.
bool HasDisplay();
// SDL falls back on drivers that draw nowhere; false for those unless asked for.
bool ShowsWindows();

// -- The window --
// The outer top-left corner at (x, y): SDL places the client area, so the frame goes around it.
void PlaceOuterCorner(SDL_Window* window, int screen_x, int screen_y);
// SDL's X connection behind the window, or null on another windowing system.
Display* XConnectionOf(SDL_Window* window);
// The window's X window, or 0 on another windowing system.
unsigned long XWindowOf(SDL_Window* window);
// One frame of the window's display (of the first display for null; 60 Hz when unknown).
std::chrono::steady_clock::duration RefreshPeriod(SDL_Window* window);

}  // namespace platform
