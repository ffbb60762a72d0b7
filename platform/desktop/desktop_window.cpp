// The desktop window's own chores, apart from the two threads: finding a
// display, placing the window, its X connection and its refresh rate. Main
// thread only.

#include "platform/desktop/desktop_window.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr int kFallbackRefreshHz = 60;

}  // namespace

// -- The display --

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != 0;
}

// X11 or Wayland, or a driver asked for by name.
bool HasDisplay() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("SDL_VIDEODRIVER");
}

// SDL falls back on drivers that draw nowhere; a game no one can see is no game.
bool ShowsWindows() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    bool invisible = std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                     std::strcmp(driver, "evdev") == 0;
    return !invisible || (asked != nullptr && std::strcmp(asked, driver) == 0);
}

// -- The window --

// The outer top-left corner at (x, y): SDL places the client area, so the frame goes around it.
void PlaceOuterCorner(SDL_Window* window, int screen_x, int screen_y) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0) top = left = 0;
    // SDL waits up to a tenth of a second for a move to show; a window already
    // in place would make the start wait that long for nothing.
    int now_x = 0, now_y = 0;
    SDL_GetWindowPosition(window, &now_x, &now_y);
    if (now_x == screen_x + left && now_y == screen_y + top) return;
    SDL_SetWindowPosition(window, screen_x + left, screen_y + top);
}

Display* XConnectionOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) return info.info.x11.display;
    return nullptr;
}

unsigned long XWindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) return info.info.x11.window;
    return 0;
}

std::chrono::steady_clock::duration RefreshPeriod(SDL_Window* window) {
    SDL_DisplayMode mode{};
    int hz = 0;
    if (window != nullptr && SDL_GetWindowDisplayMode(window, &mode) == 0) hz = mode.refresh_rate;
    if (hz <= 0 && SDL_GetCurrentDisplayMode(0, &mode) == 0) hz = mode.refresh_rate;
    if (hz <= 0) hz = kFallbackRefreshHz;
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::microseconds(1000000 / hz));
}

}  // namespace platform
