#pragma once
// What stands behind a Platform handle: the canvas of the open window, the
// fonts, and the back end that made it, with the table of its operations.
// Internal to platform/.

#include "platform/cairo/canvas.h"
#include "platform/offscreen/offscreen_state.h"
#include "platform/platform.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A console line keeps at most this many characters, typed or scripted.
constexpr std::size_t kMaxConsoleLine = 10000;

// What a back end does in its own way. Each back end fills one constant table;
// the shared operations call through it and never ask which back end they run on.
struct Backend {
    WorkArea (*work_area)(Platform& platform);
    // Opens the window and makes its canvas (with the back end's frame keeping).
    bool (*open_window)(Platform& platform, const std::string& caption, int screen_x, int screen_y, int width,
                        int height);
    void (*set_location)(Platform& platform, int screen_x, int screen_y);
    void (*set_focus)(Platform& platform);
    void (*redraw)(Platform& platform);  // the settled picture is shown (or counted)
    bool (*quit_requested)(const Platform& platform);
    std::string (*inkey)(Platform& platform);
    void (*discard_keys)(Platform& platform);
    // Sleeps until a key is typed, the window is closed, or until; an off-screen
    // wait is one frame instead.
    void (*wait_for_typing)(Platform& platform, std::chrono::steady_clock::time_point until);
    bool caret_blinks;         // the typing caret blinks (a scripted run shows none)
    TextLogger text_logger;    // told of every printed text, with the Platform as context; may be null
    double (*timer)(Platform& platform);
    std::string (*date_text)(Platform& platform);
    std::string (*time_text)(Platform& platform);
    void (*play_cue)(Platform& platform, std::string_view name);
    void (*beep)(Platform& platform);
    void (*console_write)(Platform& platform, std::string_view text);
    std::string (*console_read_line)(Platform& platform);
};

struct Desktop;  // the SDL side, defined by the desktop back end

// Made by CreateOffscreenPlatform or RunDesktop, freed with the handle; the
// canvas and fonts live as long as the handle, the window's canvas from one
// OpenGraphicWindow to the next.
struct Platform {
    const Backend* backend = nullptr;  // the table of whichever back end made this
    Canvas canvas;                 // drawing buffer of the open window
    bool window_open = false;      // false until OpenGraphicWindow succeeds
    FontBook fonts;                // every font made in this run
    // The back end's own state: exactly one is set. The off-screen one is owned
    // by the handle; the desktop one by RunDesktop's frame, for the whole run.
    // The file appends read the off-screen write budget from here.
    Offscreen* offscreen = nullptr;
    Desktop* desktop = nullptr;
    bool console_after_cr = false;   // the terminal line before ended in CR: skip its LF
};

// -- Shared operations the game does not call, for the back ends and line input --
int MakeFont(Platform& platform, const std::string& face, int points, int style);
void SelectFont(Platform& platform, int font);
void SystemBeep(Platform& platform);

// -- The two back ends' tables --
extern const Backend kOffscreenBackend;
extern const Backend kDesktopBackend;

// The terminal as the desktop's console, for the desktop's table.
void WriteTerminal(Platform& platform, std::string_view text);
std::string ReadTerminalLine(Platform& platform);

}  // namespace platform
