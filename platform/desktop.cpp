// The desktop back end: an SDL window serviced by the program's main thread
// (events, presentation), the game on a logic thread of its own. The two share
// the one-key slot (an atomic exchange), the quit flag, and a hand-over point
// for pictures and the few window requests; nothing else.

#include "platform/platform.h"

#include "platform/audio.h"
#include "platform/canvas.h"
#include "platform/platform_state.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr int kFallbackRefreshHz = 60;
// The main thread looks at the window's events at least this often. It sleeps
// on the threads' own condition variable rather than in SDL's event wait: SDL
// wakes that wait by sending an X event to a window of its choosing, which can
// be one just being destroyed, and Xlib then ends the program.
constexpr int kEventPollMs = 4;
constexpr auto kLineInputPoll = std::chrono::milliseconds(10);

// One-key slot values: 0 empty; a character as 0x100 | code; a scan-code key as 0x200 | scan code.
constexpr std::uint32_t kCharacterKey = 0x100;
constexpr std::uint32_t kScanKey = 0x200;

}  // namespace

struct Desktop {
    // -- Shared between the threads --
    std::mutex lock;
    std::condition_variable changed;
    std::function<void()> task;   // a window request for the main thread
    bool task_done = false;
    bool frame_waiting = false;   // a picture is waiting to be shown
    bool frame_taken = false;     // the main thread has copied it out of the canvas
    bool game_done = false;
    int game_result = 0;
    std::atomic<std::uint32_t> key_slot{0};
    std::atomic<bool> quit{false};
    bool wake_pending = false;    // the logic thread has something for the main thread

    // -- Main thread only --
    SDL_Window* window = nullptr;
    SteadyClock::duration frame_period = std::chrono::microseconds(1000000 / kFallbackRefreshHz);
    SteadyClock::time_point next_show{};
};

namespace {

void WakeMainThread(Desktop& desktop) {
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        desktop.wake_pending = true;
    }
    desktop.changed.notify_all();
}

// Runs a request on the main thread and waits for it to be done.
void RunOnWindowThread(Desktop& desktop, std::function<void()> request) {
    std::unique_lock<std::mutex> guard(desktop.lock);
    desktop.changed.wait(guard, [&] { return !desktop.task; });
    desktop.task = std::move(request);
    desktop.task_done = false;
    guard.unlock();
    WakeMainThread(desktop);
    guard.lock();
    desktop.changed.wait(guard, [&] { return desktop.task_done; });
}

// -- Keys --

std::uint32_t ScanCodeOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_F1: return 59;
        case SDLK_F2: return 60;
        case SDLK_F3: return 61;
        case SDLK_F4: return 62;
        case SDLK_F5: return 63;
        case SDLK_F6: return 64;
        case SDLK_F7: return 65;
        case SDLK_F8: return 66;
        case SDLK_F9: return 67;
        case SDLK_F10: return 68;
        case SDLK_HOME: return 71;
        case SDLK_UP: return 72;
        case SDLK_PAGEUP: return 73;
        case SDLK_LEFT: return 75;
        case SDLK_RIGHT: return 77;
        case SDLK_END: return 79;
        case SDLK_DOWN: return 80;
        case SDLK_PAGEDOWN: return 81;
        case SDLK_INSERT: return 82;
        case SDLK_DELETE: return 83;
        default: return 0;
    }
}

void StoreKey(Desktop& desktop, std::uint32_t value) {
    desktop.key_slot.store(value);  // an unread key is overwritten, as the game expects
}

void OnKeyDown(Desktop& desktop, const SDL_KeyboardEvent& key) {
    SDL_Keycode code = key.keysym.sym;
    if (code == SDLK_RETURN || code == SDLK_KP_ENTER) {
        StoreKey(desktop, kCharacterKey | 13);
    } else if (code == SDLK_ESCAPE) {
        StoreKey(desktop, kCharacterKey | 27);
    } else if (code == SDLK_BACKSPACE) {
        StoreKey(desktop, kCharacterKey | 8);
    } else if (std::uint32_t scan = ScanCodeOf(code); scan != 0) {
        StoreKey(desktop, kScanKey | scan);
    }
    // Characters arrive as text input; Tab and the other keys are not stored.
}

void OnTextInput(Desktop& desktop, const char* text) {
    // UTF-8 to the game's 8-bit characters: code points 32..255 only.
    for (const auto* at = reinterpret_cast<const unsigned char*>(text); *at != 0;) {
        std::uint32_t point = 0;
        int extra = 0;
        if (*at < 0x80) {
            point = *at;
        } else if ((*at & 0xE0) == 0xC0) {
            point = *at & 0x1F;
            extra = 1;
        } else if ((*at & 0xF0) == 0xE0) {
            point = *at & 0x0F;
            extra = 2;
        } else {
            point = *at & 0x07;
            extra = 3;
        }
        ++at;
        for (; extra > 0 && (*at & 0xC0) == 0x80; --extra, ++at) point = (point << 6) | (*at & 0x3F);
        if (point >= 32 && point <= 255 && point != 127) StoreKey(desktop, kCharacterKey | point);
    }
}

// -- Presentation (main thread) --

void ReadRefreshRate(Desktop& desktop) {
    SDL_DisplayMode mode{};
    int hz = 0;
    if (desktop.window != nullptr && SDL_GetWindowDisplayMode(desktop.window, &mode) == 0) hz = mode.refresh_rate;
    if (hz <= 0 && SDL_GetCurrentDisplayMode(0, &mode) == 0) hz = mode.refresh_rate;
    if (hz <= 0) hz = kFallbackRefreshHz;
    desktop.frame_period = std::chrono::duration_cast<SteadyClock::duration>(std::chrono::microseconds(1000000 / hz));
}

// Copies the canvas straight into the window's own surface: only the regions
// that changed when the canvas can tell them. Returns how many regions it
// copied into `regions`, or -1 for the whole picture.
int CopyToWindow(Desktop& desktop, Canvas& canvas, SDL_Rect* regions) {
    SDL_Surface* surface = desktop.window != nullptr ? SDL_GetWindowSurface(desktop.window) : nullptr;
    if (surface == nullptr || canvas.pixels == nullptr) return -1;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    Uint32 format = surface->format->format;
    bool same_layout = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    const PixelRect* changed = nullptr;
    int count = -1;
    if (same_layout && surface->w == canvas.width && surface->h == canvas.height &&
        ChangedCanvasRegions(canvas, &changed, &count)) {
        for (int i = 0; i < count; ++i) {
            CopyCanvasRegion(canvas, changed[i], surface->pixels, surface->pitch);
            regions[i] = SDL_Rect{changed[i].left, changed[i].top, changed[i].right - changed[i].left,
                                  changed[i].bottom - changed[i].top};
        }
    } else if (same_layout && surface->w == canvas.width && surface->h == canvas.height) {
        count = -1;
        CopyCanvasPixels(canvas, surface->pixels, surface->pitch);
    } else {
        cairo_surface_flush(canvas.surface);
        int width = std::min(surface->w, canvas.width), height = std::min(surface->h, canvas.height);
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, canvas.pixels, canvas.stride, format,
                          surface->pixels, surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    TakeChangedCanvasRegions(canvas);
    return count;
}

// Shows a waiting picture once its turn in the display's rhythm has come; the
// game thread is let go as soon as the pixels are copied, so it draws the next
// picture while this one goes to the screen.
void ShowWaitingFrame(Platform& platform, Desktop& desktop) {
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        if (!desktop.frame_waiting) return;
    }
    auto now = SteadyClock::now();
    if (now < desktop.next_show) return;
    SDL_Rect regions[kMaxChangedRegions];
    int shown = CopyToWindow(desktop, platform.canvas, regions);
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        desktop.frame_waiting = false;
        desktop.frame_taken = true;
    }
    desktop.changed.notify_all();
    if (desktop.window != nullptr && shown < 0) SDL_UpdateWindowSurface(desktop.window);
    if (desktop.window != nullptr && shown > 0) SDL_UpdateWindowSurfaceRects(desktop.window, regions, shown);
    // Keep the rhythm of the display; after a stall start a new one instead of catching up.
    desktop.next_show += desktop.frame_period;
    if (desktop.next_show < now) desktop.next_show = now + desktop.frame_period;
}

void HandleEvent(Desktop& desktop, const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: desktop.quit.store(true); break;
        case SDL_KEYDOWN: OnKeyDown(desktop, event.key); break;
        case SDL_TEXTINPUT: OnTextInput(desktop, event.text.text); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) desktop.quit.store(true);
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED && desktop.window != nullptr)
                SDL_UpdateWindowSurface(desktop.window);
            break;
        default: break;
    }
}

// The main thread's loop: window requests, pictures and events until the game ends.
void ServiceWindow(Platform& platform, Desktop& desktop) {
    for (;;) {
        std::function<void()> request;
        bool frame_waiting = false;
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            if (desktop.game_done) return;
            if (desktop.task && !desktop.task_done) request = desktop.task;
            frame_waiting = desktop.frame_waiting;
        }
        if (request) {
            request();
            {
                std::lock_guard<std::mutex> guard(desktop.lock);
                desktop.task = nullptr;
                desktop.task_done = true;
            }
            desktop.changed.notify_all();
            continue;
        }
        ShowWaitingFrame(platform, desktop);
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            frame_waiting = desktop.frame_waiting;
        }
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) HandleEvent(desktop, event);

        int wait_ms = kEventPollMs;
        if (frame_waiting) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(desktop.next_show - SteadyClock::now());
            wait_ms = static_cast<int>(std::clamp<long long>(left.count() + 1, 0, kEventPollMs));
        }
        std::unique_lock<std::mutex> guard(desktop.lock);
        desktop.changed.wait_for(guard, std::chrono::milliseconds(wait_ms), [&] { return desktop.wake_pending; });
        desktop.wake_pending = false;
    }
}

void DestroyWindow(Desktop& desktop) {
    if (desktop.window != nullptr) SDL_DestroyWindow(desktop.window);
    desktop.window = nullptr;
}

// The outer top-left corner at (x, y): SDL places the client area, so the frame goes around it.
void PlaceOuterCorner(Desktop& desktop, int screen_x, int screen_y) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(desktop.window, &top, &left, &bottom, &right) != 0) top = left = 0;
    // SDL waits up to a tenth of a second for a move to show; a window already
    // in place would make the start wait that long for nothing.
    int now_x = 0, now_y = 0;
    SDL_GetWindowPosition(desktop.window, &now_x, &now_y);
    if (now_x == screen_x + left && now_y == screen_y + top) return;
    SDL_SetWindowPosition(desktop.window, screen_x + left, screen_y + top);
}

// A display to open windows on: X11 or Wayland, or a driver asked for by name.
bool HasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != 0;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("SDL_VIDEODRIVER");
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

}  // namespace

// -- The run --

int RunDesktop(int (*game)(Platform& platform)) {
    // The window-surface path: SDL's default goes through a software OpenGL
    // that costs over ten times as much per full-screen picture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!HasDisplay()) {
        std::fprintf(stderr, "Gyrovessel needs a graphic display, and none was found (DISPLAY is not set).\n");
        return 1;
    }
    // Reading the font configuration takes about as long as opening the
    // display: both at once, so that the first picture waits for one of them.
    FontBook warm_fonts;
    std::thread font_warming([&warm_fonts] { InitFontBook(warm_fonts); });
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !ShowsWindows()) {
        std::fprintf(stderr, "Gyrovessel cannot open its window: no graphic display (%s).\n",
                     SDL_GetError()[0] != 0 ? SDL_GetError() : "no windowing system");
        font_warming.join();
        FreeFontBook(warm_fonts);
        SDL_Quit();
        return 1;
    }
    audio::StartAudio();

    PlatformHandle handle(new Platform);
    Platform& platform = *handle;
    Desktop desktop;
    platform.desktop = &desktop;
    font_warming.join();
    InitFontBook(platform.fonts);
    FreeFontBook(warm_fonts);
    ReadRefreshRate(desktop);

    std::thread logic([&] {
        int result = game(platform);
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            desktop.game_done = true;
            desktop.game_result = result;
        }
        WakeMainThread(desktop);
    });
    ServiceWindow(platform, desktop);
    logic.join();

    int result = desktop.game_result;
    DestroyWindow(desktop);
    audio::StopAudio();
    platform.desktop = nullptr;  // owned by this frame, not by the handle
    handle.reset();
    SDL_Quit();
    return result;
}

// -- Hooks for the shared operations (logic thread) --

namespace desktop {

void Destroy(Platform& platform) {
    platform.desktop = nullptr;
}

WorkArea DesktopWorkArea(Platform& platform) {
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

bool OpenWindow(Platform& platform, const std::string& caption, int screen_x, int screen_y, int width,
                int height) {
    Desktop& state = *platform.desktop;
    bool opened = false;
    RunOnWindowThread(state, [&] {
        DestroyWindow(state);  // one window at a time: this pass's replaces the last one's
        state.window = SDL_CreateWindow(caption.c_str(), screen_x, screen_y, width, height, SDL_WINDOW_SHOWN);
        if (state.window == nullptr) {
            std::fprintf(stderr, "Gyrovessel cannot open its window: %s\n", SDL_GetError());
            return;
        }
        PlaceOuterCorner(state, screen_x, screen_y);
        SDL_RaiseWindow(state.window);
        ReadRefreshRate(state);
        // Nothing is shown until the game's first picture: no black frame first.
        SDL_Surface* surface = SDL_GetWindowSurface(state.window);
        state.next_show = SteadyClock::now();
        opened = surface != nullptr;
    });
    return opened;
}

void SetLocation(Platform& platform, int screen_x, int screen_y) {
    Desktop& state = *platform.desktop;
    RunOnWindowThread(state, [&] {
        if (state.window != nullptr) PlaceOuterCorner(state, screen_x, screen_y);
    });
}

void SetFocus(Platform& platform) {
    Desktop& state = *platform.desktop;
    RunOnWindowThread(state, [&] {
        if (state.window == nullptr) return;
        SDL_RaiseWindow(state.window);
        SDL_SetWindowInputFocus(state.window);
    });
}

void Redraw(Platform& platform) {
    Desktop& state = *platform.desktop;
    std::unique_lock<std::mutex> guard(state.lock);
    state.frame_waiting = true;
    state.frame_taken = false;
    guard.unlock();
    WakeMainThread(state);
    guard.lock();
    state.changed.wait(guard, [&] { return state.frame_taken; });
}

bool QuitRequested(const Platform& platform) {
    return platform.desktop->quit.load();
}

std::string Inkey(Platform& platform) {
    std::uint32_t value = platform.desktop->key_slot.exchange(0);
    if (value == 0) return std::string();
    auto code = static_cast<char>(value & 0xFF);
    if ((value & kScanKey) != 0) return std::string{'\0', code};
    return std::string(1, code);
}

void LineInputWait(Platform&) {
    std::this_thread::sleep_for(kLineInputPoll);
}

}  // namespace desktop

}  // namespace platform
