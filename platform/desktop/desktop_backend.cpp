// The desktop back end's operations, called by the game on its logic thread:
// windows asked of the main thread, pictures handed to it or sent straight to
// the X server, keys taken from the queue the main thread fills, the clock
// and the cues. See desktop.cpp for who owns what.

#include "platform/audio.h"
#include "platform/cairo/canvas.h"
#include "platform/clock.h"
#include "platform/desktop/desktop_keys.h"
#include "platform/desktop/desktop_state.h"
#include "platform/desktop/desktop_window.h"
#include "platform/desktop/shared_picture.h"
#include "platform/platform_state.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace platform {

// -- The back end's operations (logic thread) --

namespace {

WorkArea UsableBounds(Platform& platform) {
    Desktop& state = *platform.desktop;
    WorkArea area;
    RunOnWindowThread(state, [&] {
        int display = state.window != nullptr ? std::max(0, SDL_GetWindowDisplayIndex(state.window)) : 0;
        SDL_Rect bounds{};
        if (SDL_GetDisplayUsableBounds(display, &bounds) != 0 && SDL_GetDisplayBounds(display, &bounds) != 0)
            bounds = SDL_Rect{0, 0, 0, 0};
        area = WorkArea{bounds.w, bounds.h};
    });
    return area;
}

// The canvas keeps its frames: only what changed is repainted and shown. It is
// made while the main thread makes the window: both take a while at start.
// SDL's window surface is made only for a display that cannot share memory:
// otherwise the server reads the canvas itself, and the surface, a second
// picture's worth of memory to map, is made only if the first picture has to
// go through it after all.
bool OpenWindow(Platform& platform, const std::string& caption, int screen_x, int screen_y, int width,
                int height) {
    Desktop& state = *platform.desktop;
    // The last window goes: its pictures no longer go to it from here.
    StopOwnDisplay(state.own_display, false);
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.own_window = 0;
    }
    bool opened = false;
    const std::uint64_t made = PostToWindowThread(state, [&] {
        DestroyWindow(state);  // one window at a time: this pass's replaces the last one's
        state.picture_shown = false;
        state.focus_wanted = false;
        state.window = SDL_CreateWindow(caption.c_str(), screen_x, screen_y, width, height, SDL_WINDOW_HIDDEN);
        if (state.window == nullptr) {
            std::fprintf(stderr, "Gyrovessel cannot open its window: %s\n", SDL_GetError());
            return;
        }
        FindXConnection(state);
        PlaceOuterCorner(state.window, screen_x, screen_y);
        ReadRefreshRate(state);
        state.next_show = SteadyClock::now();
        // Without shared memory every picture goes through the surface: it
        // is made now, and a window that cannot have one is not opened.
        opened = DisplaySharesMemory(state.window) || SDL_GetWindowSurface(state.window) != nullptr;
    });
    bool canvas_made = CreateCanvas(platform.canvas, width, height, CanvasMemory::Shared);
    if (canvas_made) KeepCanvasFrames(platform.canvas, true);
    WaitForWindowThread(state, made);
    if (state.font_warming.joinable()) {
        state.font_warming.join();
        // The book made aside becomes the game's own: its font is the one the
        // game's book starts with, and Cairo's fonts serve any thread.
        if (platform.fonts.fonts.empty()) std::swap(platform.fonts, state.warm_fonts);
        FreeFontBook(state.warm_fonts);
    }
    if (!opened || !canvas_made) {
        DestroyCanvas(platform.canvas);
        return false;
    }
    return true;
}

// Moving and focusing ask nothing back: the game draws on meanwhile, and the
// picture it then shows waits for them (SDL waits for a move to be seen).
void SetLocation(Platform& platform, int screen_x, int screen_y) {
    Desktop& state = *platform.desktop;
    PostToWindowThread(state, [&state, screen_x, screen_y] {
        if (state.window != nullptr) PlaceOuterCorner(state.window, screen_x, screen_y);
    });
}

void SetFocus(Platform& platform) {
    Desktop& state = *platform.desktop;
    PostToWindowThread(state, [&state] {
        if (state.window == nullptr) return;
        // A hidden window cannot take the focus: it does when it shows.
        if (!state.picture_shown) {
            state.focus_wanted = true;
            return;
        }
        SDL_RaiseWindow(state.window);
        SDL_SetWindowInputFocus(state.window);
    });
}

// Sends the settled picture through the logic thread's own connection, at its
// turn in the display's rhythm; false when that connection cannot be had.
bool ShowOwnPicture(Platform& platform, Desktop& state, unsigned long x_window) {
    const bool sharing = state.own_display.picture.state != nullptr && state.own_display.window == x_window;
    // The display's name is written once, before any window is handed over.
    if (!sharing && !ShareThroughOwnDisplay(state.own_display, state.display_name.c_str(), x_window, platform.canvas))
        return false;
    SteadyClock::duration period{};
    {
        std::lock_guard<std::mutex> guard(state.lock);
        period = state.own_period;
    }
    if (!sharing) {
        state.own_next_show = SteadyClock::now() + period;
        // One request carries all the regions: many narrow ones cost the
        // server less than a few that also cover what did not change.
        SetChangedRegionLimit(platform.canvas, kMaxChangedRegions);
    }
    std::this_thread::sleep_until(state.own_next_show);
    SendSharedCanvas(state.own_display.picture, platform.canvas, TakeSendWhole(state));
    // Keep the rhythm of the display; after a stall start a new one instead of catching up.
    const auto now = SteadyClock::now();
    state.own_next_show += period;
    if (state.own_next_show < now) state.own_next_show = now + period;
    return true;
}

void Redraw(Platform& platform) {
    Desktop& state = *platform.desktop;
    const PixelRect* regions = nullptr;
    int count = 0;
    const bool unchanged = ChangedCanvasRegions(platform.canvas, &regions, &count) && count == 0;
    state.unchanged_redraws = unchanged ? state.unchanged_redraws + 1 : 0;
    if (state.unchanged_redraws >= 2) {
        std::unique_lock<std::mutex> guard(state.lock);
        state.changed.wait_for(guard, kUnchangedPictureWait,
                               [&] { return state.keys_count > 0 || state.quit.load(); });
        return;
    }
    unsigned long own_window = 0;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        own_window = state.own_window;
    }
    if (own_window != 0 && ShowOwnPicture(platform, state, own_window)) return;
    std::unique_lock<std::mutex> guard(state.lock);
    state.frame_waiting = true;
    state.frame_taken = false;
    guard.unlock();
    WakeMainThread(state);
    guard.lock();
    state.changed.wait(guard, [&] { return state.frame_taken; });
}

bool WindowClosed(const Platform& platform) {
    return platform.desktop->quit.load();
}

std::string Inkey(Platform& platform) {
    Desktop& state = *platform.desktop;
    std::uint32_t value = 0;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.keys_count > 0) {
            value = state.keys[static_cast<std::size_t>(state.keys_first)];
            state.keys_first = (state.keys_first + 1) % kKeyQueueCapacity;
            --state.keys_count;
        }
    }
    return InkeyText(value);
}

void DiscardKeys(Platform& platform) {
    Desktop& state = *platform.desktop;
    std::lock_guard<std::mutex> guard(state.lock);
    state.keys_first = 0;
    state.keys_count = 0;
}

// A typed line is where the game rests (the menu, a question, a freeze): the
// audio device closes once nothing sounds, and opens again at the next cue.
// The first wait that passes without a key is the quiet moment for the fonts
// to learn all their glyphs, and every font made later learns them as it is
// made: play then draws its texts without allocating. Not before: the first
// picture must not wait for it.
void WaitForTyping(Platform& platform, std::chrono::steady_clock::time_point until) {
    audio::RestAudio();
    Desktop& state = *platform.desktop;
    std::unique_lock<std::mutex> guard(state.lock);
    const bool key_came =
        state.changed.wait_until(guard, until, [&] { return state.keys_count > 0 || state.quit.load(); });
    guard.unlock();
    if (!key_came && !platform.fonts.learn_whole) LearnFontsWhole(platform.fonts);
}

double LocalTimer(Platform&) {
    return SecondsSinceMidnight(ReadLocalClock());
}

std::string LocalDate(Platform&) {
    LocalMoment now = ReadLocalClock();
    return FormatDate(now.year, now.month, now.day);
}

std::string LocalTime(Platform&) {
    LocalMoment now = ReadLocalClock();
    return FormatTime(now.hour, now.minute, now.second);
}

void PlayRecordedCue(Platform&, std::string_view name) {
    audio::PlayCueByName(name);
}

void PlayAlert(Platform&) {
    audio::PlayDefaultAlert();
}

}  // namespace

// A desktop run prints every frame for hours, and nothing reads what it
// printed: no text log.
const Backend kDesktopBackend = {
    .work_area = &UsableBounds,
    .open_window = &OpenWindow,
    .set_location = &SetLocation,
    .set_focus = &SetFocus,
    .redraw = &Redraw,
    .quit_requested = &WindowClosed,
    .inkey = &Inkey,
    .discard_keys = &DiscardKeys,
    .wait_for_typing = &WaitForTyping,
    .caret_blinks = true,
    .text_logger = nullptr,
    .timer = &LocalTimer,
    .date_text = &LocalDate,
    .time_text = &LocalTime,
    .play_cue = &PlayRecordedCue,
    .beep = &PlayAlert,
    .console_write = &WriteTerminal,
    .console_read_line = &ReadTerminalLine,
};

}  // namespace platform
