#pragma once
// What stands behind a Platform handle: the canvas of the open window, the
// fonts, and the state of whichever back end made it. Internal to platform/.

#include "platform/canvas.h"
#include "platform/platform.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace platform {

// -- Off-screen back end: scripted keys, a settable clock, logs --
struct ScriptStep {
    std::string key;  // one key as GraphicInkey returns it, when idle_redraws is 0
    int idle_redraws = 0;  // > 0: hold back later keys for this many redraws
    bool pending = false;  // pressed already: DiscardPendingKeys drops it
};

struct Offscreen {
    OffscreenOptions options;
    double clock = 0;                    // seconds since the start day's midnight; may pass 86400
    std::deque<ScriptStep> script;       // keys still to hand out
    std::deque<std::string> console_lines;
    std::vector<PrintedText> printed;
    std::vector<std::string> cues;
    std::string console;
    int redraws = 0;
    bool quit = false;                   // the script ran out while the game waited for a key
    RedrawWatcher watcher = nullptr;     // told of every redraw
    void* watcher_context = nullptr;
    std::int64_t write_budget = -1;      // bytes an append may still write before the disk is "full"; -1 no limit
};

struct Desktop;  // the SDL side, defined by the desktop back end

struct Platform {
    Canvas canvas;                 // drawing buffer of the open window
    bool window_open = false;      // false until OpenGraphicWindow succeeds
    FontBook fonts;                // every font made in this run
    Offscreen* offscreen = nullptr;  // exactly one of these two is set
    Desktop* desktop = nullptr;
    bool console_after_cr = false;   // the console line before ended in CR: skip its LF
    bool keep_frames = false;        // repaint only what changed (always on the desktop)
};

// -- Hooks of the two back ends, called by the shared operations --
namespace offscreen {
void Destroy(Platform& platform);
void LogText(Platform& platform, std::string_view text, double device_x, double device_y);
WorkArea DesktopWorkArea(Platform& platform);
bool OpenWindow(Platform& platform, int width, int height);
void Redraw(Platform& platform);
std::string Inkey(Platform& platform);
void DiscardKeys(Platform& platform);
void LineInputWait(Platform& platform);
double Timer(Platform& platform);
std::string DateText(Platform& platform);
std::string TimeText(Platform& platform);
}  // namespace offscreen

namespace desktop {
void Destroy(Platform& platform);
WorkArea DesktopWorkArea(Platform& platform);
bool OpenWindow(Platform& platform, const std::string& caption, int screen_x, int screen_y, int width,
                int height);
void SetLocation(Platform& platform, int screen_x, int screen_y);
void SetFocus(Platform& platform);
void Redraw(Platform& platform);
bool QuitRequested(const Platform& platform);
std::string Inkey(Platform& platform);
void DiscardKeys(Platform& platform);
// Sleeps until a key is typed, the window is closed, or until.
void LineInputWait(Platform& platform, std::chrono::steady_clock::time_point until);
}  // namespace desktop

}  // namespace platform
