// The desktop back end: an SDL window serviced by the program's main thread
// (events, presentation), the game on a logic thread of its own.
//
// Who owns what:
//  - the main thread alone touches SDL's video side: the window, its events,
//    its surface; it turns key events into queued key values;
//  - the logic thread alone draws into the canvas; the main thread reads it
//    (or, where the canvas is shared with the X server, has the server read
//    it) only while the logic thread waits in Redraw for the picture to be
//    taken; a shared canvas is sent at once to a window that was uncovered,
//    and whole again with the next picture, which mends what it caught half drawn;
//  - once a window has shown a picture from shared memory, the logic thread
//    sends the next ones itself, through an X connection of its own, and the
//    main thread is left to the events: play then wakes one thread a frame,
//    not two that hand each picture over. The logic thread lets go of the
//    window before it asks the main thread for the next one, and at its end;
//  - under Desktop::lock they share the typed-key queue (the main thread
//    appends, the logic thread takes from the front or empties it), the
//    window requests, the picture hand-over flags and the end of the game;
//  - the quit flag is an atomic the main thread sets and the logic thread reads.
//
// On X neither thread polls. The main thread sleeps in poll() on the X connection
// and on an eventfd that the logic thread writes to when it has something for
// it (WakeMainThread); it never uses SDL's own event wait, which wakes by
// sending an X event to a window of SDL's choosing: that can be a window just
// being destroyed, and Xlib then ends the program. The logic thread sleeps on
// the condition variable, which the main thread signals for every key, every
// picture taken and every request done.

#include "platform/desktop/desktop.h"

#include "platform/audio.h"
#include "platform/cairo/canvas.h"
#include "platform/clock.h"
#include "platform/desktop/desktop_keys.h"
#include "platform/desktop/desktop_window.h"
#include "platform/desktop/shared_picture.h"
#include "platform/platform_state.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;
// Without an X connection to wait on (another windowing system, or before the
// first window) the main thread looks at the window's events this often.
constexpr int kEventPollMs = 4;

// A second picture in a row that changed nowhere is not sent: the game is
// waiting for a key (a page redraws in a loop until one comes), and is let go
// at the next key, or after this long at most. A single unchanged picture (the
// one before an etude begins, say) keeps the display's rhythm as any other.
constexpr auto kUnchangedPictureWait = std::chrono::seconds(1);

// Keys typed while the game is busy (a frame being shown, a wall sinking)
// wait here in order; a quick typist is far from filling it, a held key
// repeating for seconds is not worth more.
constexpr int kKeyQueueCapacity = 256;

}  // namespace

// Lives in RunDesktop's frame for the whole run, from before the logic thread
// starts until after it has ended; the handle only points at it.
struct Desktop {
    // -- Shared between the threads --
    std::mutex lock;
    std::condition_variable changed;
    // Window requests for the main thread, run in order; the n-th one posted
    // is done once tasks_done reaches n.
    std::deque<std::function<void()>> tasks;
    std::uint64_t tasks_posted = 0;
    std::uint64_t tasks_done = 0;
    bool frame_waiting = false;   // a picture is waiting to be shown
    bool frame_taken = false;     // the main thread has copied it out of the canvas
    bool game_done = false;
    int game_result = 0;
    std::array<std::uint32_t, kKeyQueueCapacity> keys{};  // typed keys, oldest at keys_first
    int keys_first = 0;
    int keys_count = 0;
    std::atomic<bool> quit{false};
    bool wake_pending = false;    // the logic thread has something for the main thread
    int wake_fd = -1;             // eventfd: written by the logic thread, read by the main thread
    bool send_whole = false;      // the window lost what it showed: the next picture goes whole
    // Once a window has shown a picture from shared memory, the logic thread
    // sends the next ones to this X window itself (0: through the main thread),
    // one display frame apart; the display is the one named here.
    unsigned long own_window = 0;
    SteadyClock::duration own_period{};
    std::string display_name;

    // -- Main thread only --
    SDL_Window* window = nullptr;
    Display* x_display = nullptr;  // SDL's X connection, once a window has shown it
    SteadyClock::duration frame_period = RefreshPeriod(nullptr);
    SteadyClock::time_point next_show{};
    // The window stays hidden until the game's first picture for it: no empty
    // window first, and placing it costs nothing while it is hidden.
    bool picture_shown = false;  // the open window has shown a picture of the game's
    bool focus_wanted = false;   // the game asked for the focus while the window was hidden
    // The X server reads the canvas itself where it can: no copy into the
    // window surface then. Tried at the window's first picture.
    SharedPicture shared_picture;
    bool sharing_tried = false;

    // -- Logic thread only --
    int unchanged_redraws = 0;  // redraws in a row that changed nowhere
    OwnDisplay own_display;     // the logic thread's own way to the window's display
    SteadyClock::time_point own_next_show{};

    // -- Until the first window is open --
    // The font configuration is read and the first font made aside while the
    // first window is made; once it has its window, the game takes this book.
    std::thread font_warming;
    FontBook warm_fonts;
};

namespace {

void WakeMainThread(Desktop& desktop) {
    bool first = false;
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        first = !desktop.wake_pending;
        desktop.wake_pending = true;
    }
    desktop.changed.notify_all();
    if (first && desktop.wake_fd >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(desktop.wake_fd, &one, sizeof one);
    }
}

// The main thread sleeps until an X event or a wake-up from the logic thread
// arrives, or for at most timeout_ms (-1: no limit).
void WaitForWork(Desktop& desktop, int timeout_ms) {
    {
        std::unique_lock<std::mutex> guard(desktop.lock);
        if (desktop.wake_fd < 0 || desktop.x_display == nullptr) {
            int limit = timeout_ms < 0 ? kEventPollMs : std::min(timeout_ms, kEventPollMs);
            desktop.changed.wait_for(guard, std::chrono::milliseconds(limit), [&] { return desktop.wake_pending; });
            desktop.wake_pending = false;
            return;
        }
        if (desktop.wake_pending) {
            desktop.wake_pending = false;
            return;
        }
    }
    // Events that Xlib has already read off the connection (while a picture
    // was sent, say) wait in its own queue, where poll() cannot see them.
    if (QLength(desktop.x_display) > 0) return;
    pollfd watched[2] = {{ConnectionNumber(desktop.x_display), POLLIN, 0}, {desktop.wake_fd, POLLIN, 0}};
    poll(watched, 2, timeout_ms);
    if ((watched[1].revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t got = read(desktop.wake_fd, &count, sizeof count);
    }
    std::lock_guard<std::mutex> guard(desktop.lock);
    desktop.wake_pending = false;
}

// Window closed: the logic thread may be waiting for a key.
void RequestQuit(Desktop& desktop) {
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        desktop.quit.store(true);
    }
    desktop.changed.notify_all();
}

// Hands a request to the main thread and goes on; returns its number. A
// request that uses anything of the caller's must be waited for with
// WaitForWindowThread before that goes; one that holds only copies need not.
std::uint64_t PostToWindowThread(Desktop& desktop, std::function<void()> request) {
    std::uint64_t number = 0;
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        desktop.tasks.push_back(std::move(request));
        number = ++desktop.tasks_posted;
    }
    WakeMainThread(desktop);
    return number;
}

void WaitForWindowThread(Desktop& desktop, std::uint64_t number) {
    std::unique_lock<std::mutex> guard(desktop.lock);
    desktop.changed.wait(guard, [&] { return desktop.tasks_done >= number; });
}

// Runs a request on the main thread and waits for it to be done.
void RunOnWindowThread(Desktop& desktop, std::function<void()> request) {
    WaitForWindowThread(desktop, PostToWindowThread(desktop, std::move(request)));
}

// -- Keys --

// A full queue keeps the keys typed first: the newest is dropped, and the
// player hears that it was.
void QueueKey(Desktop& desktop, std::uint32_t value) {
    bool full = false;
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        full = desktop.keys_count == kKeyQueueCapacity;
        if (!full) {
            desktop.keys[static_cast<std::size_t>((desktop.keys_first + desktop.keys_count) % kKeyQueueCapacity)] =
                value;
            ++desktop.keys_count;
        }
    }
    desktop.changed.notify_all();
    if (full) audio::PlayDefaultAlert();
}

void OnKeyDown(Desktop& desktop, const SDL_KeyboardEvent& key) {
    // Characters arrive as text input; Tab and the other keys are not stored.
    std::uint32_t value = KeyDownValue(key.keysym.sym, key.keysym.mod);
    if (value != 0) QueueKey(desktop, value);
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
        if (point >= 32 && point <= 255 && point != 127) QueueKey(desktop, kCharacterKey | point);
    }
}

// -- Presentation (main thread) --

void ReadRefreshRate(Desktop& desktop) {
    desktop.frame_period = RefreshPeriod(desktop.window);
}

// Copies the canvas straight into the window's own surface: only the cells
// that changed when the canvas can tell them, which holds the last picture
// elsewhere. Returns how many regions around them it put into `regions`, or
// -1 for the whole picture.
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
        CopyChangedCanvasCells(canvas, surface->pixels, surface->pitch);
        for (int i = 0; i < count; ++i)
            regions[i] = SDL_Rect{changed[i].left, changed[i].top, changed[i].right - changed[i].left,
                                  changed[i].bottom - changed[i].top};
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

// The waiting picture is taken: the game thread may draw the next.
void LetGameThreadGo(Desktop& desktop) {
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        desktop.frame_waiting = false;
        desktop.frame_taken = true;
    }
    desktop.changed.notify_all();
}

// Whether the next picture must go whole, which it then does.
bool TakeSendWhole(Desktop& desktop) {
    std::lock_guard<std::mutex> guard(desktop.lock);
    const bool whole = desktop.send_whole;
    desktop.send_whole = false;
    return whole;
}

// The settled canvas sent from its own memory: the regions changed since the
// last picture, or all of it.
void SendSharedCanvas(SharedPicture& shared, Canvas& canvas, bool whole) {
    cairo_surface_flush(canvas.surface);
    const PixelRect* changed = nullptr;
    int count = -1;
    if (whole || !ChangedCanvasRegions(canvas, &changed, &count)) count = -1;
    SendSharedPicture(shared, changed, count);
    TakeChangedCanvasRegions(canvas);
}

// Shows a waiting picture once its turn in the display's rhythm has come; the
// game thread is let go as soon as the pixels are copied (or, shared, sent),
// so it draws the next picture while this one goes to the screen.
void ShowWaitingFrame(Platform& platform, Desktop& desktop) {
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        if (!desktop.frame_waiting) return;
    }
    auto now = SteadyClock::now();
    if (now < desktop.next_show) return;
    if (!desktop.sharing_tried && desktop.window != nullptr) {
        desktop.sharing_tried = true;
        ShareCanvasWithWindow(desktop.shared_picture, desktop.window, platform.canvas);
    }
    const bool sharing = desktop.shared_picture.state != nullptr;
    SDL_Rect regions[kMaxChangedRegions];
    const int shown = sharing ? 0 : CopyToWindow(desktop, platform.canvas, regions);
    if (!sharing) LetGameThreadGo(desktop);
    if (desktop.window != nullptr && !desktop.picture_shown) {
        SDL_ShowWindow(desktop.window);
        SDL_RaiseWindow(desktop.window);
        if (desktop.focus_wanted) SDL_SetWindowInputFocus(desktop.window);
        desktop.focus_wanted = false;
    }
    bool first_picture = !desktop.picture_shown;
    if (sharing) {
        // The server reads the canvas while the game thread waits: only then
        // may the game draw on. The next pictures it sends itself.
        SendSharedCanvas(desktop.shared_picture, platform.canvas, TakeSendWhole(desktop));
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            desktop.own_window = XWindowOf(desktop.window);
            desktop.own_period = desktop.frame_period;
        }
        LetGameThreadGo(desktop);
    }
    if (desktop.window != nullptr && shown < 0) SDL_UpdateWindowSurface(desktop.window);
    if (desktop.window != nullptr && shown > 0) SDL_UpdateWindowSurfaceRects(desktop.window, regions, shown);
    desktop.picture_shown = desktop.window != nullptr;
    if (first_picture) audio::HoldAudio(false);
    // Keep the rhythm of the display; after a stall start a new one instead of catching up.
    desktop.next_show += desktop.frame_period;
    if (desktop.next_show < now) desktop.next_show = now + desktop.frame_period;
}

void HandleEvent(Desktop& desktop, const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: RequestQuit(desktop); break;
        case SDL_KEYDOWN: OnKeyDown(desktop, event.key); break;
        case SDL_TEXTINPUT: OnTextInput(desktop, event.text.text); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) RequestQuit(desktop);
            // Before the game's first picture the surface holds nothing worth
            // sending; sending it would only hold up that picture.
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED && desktop.window != nullptr && desktop.picture_shown) {
                // Shared, the canvas may be half drawn now: the next picture mends it.
                if (desktop.shared_picture.state != nullptr) {
                    SendSharedPicture(desktop.shared_picture, nullptr, -1);
                    std::lock_guard<std::mutex> guard(desktop.lock);
                    desktop.send_whole = true;
                } else {
                    SDL_UpdateWindowSurface(desktop.window);
                }
            }
            break;
        default: break;
    }
}

// The main thread's loop: window requests, pictures and events until the game ends.
void ServiceWindow(Platform& platform, Desktop& desktop) {
    for (;;) {
        std::function<void()> request;
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            if (desktop.game_done) return;
            if (!desktop.tasks.empty()) {
                request = std::move(desktop.tasks.front());
                desktop.tasks.pop_front();
            }
        }
        if (request) {
            request();
            {
                std::lock_guard<std::mutex> guard(desktop.lock);
                ++desktop.tasks_done;
            }
            desktop.changed.notify_all();
            continue;
        }
        ShowWaitingFrame(platform, desktop);
        bool frame_waiting = false;
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            frame_waiting = desktop.frame_waiting;
        }
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) HandleEvent(desktop, event);

        // A waiting picture wakes the thread at its turn in the display's rhythm.
        int wait_ms = -1;
        if (frame_waiting) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(desktop.next_show - SteadyClock::now());
            wait_ms = static_cast<int>(std::clamp<long long>(left.count() + 1, 0, 1000));
        }
        WaitForWork(desktop, wait_ms);
    }
}

// SDL's X connection lives as long as its video system; the first window shows it.
void FindXConnection(Desktop& desktop) {
    if (desktop.x_display != nullptr || desktop.window == nullptr) return;
    desktop.x_display = XConnectionOf(desktop.window);
    if (desktop.x_display == nullptr) return;
    std::lock_guard<std::mutex> guard(desktop.lock);
    desktop.display_name = DisplayString(desktop.x_display);
}

// (The logic thread has let go of the window before it asks for this.)
void DestroyWindow(Desktop& desktop) {
    StopSharingPicture(desktop.shared_picture);
    desktop.sharing_tried = false;
    {
        std::lock_guard<std::mutex> guard(desktop.lock);
        desktop.send_whole = false;
        desktop.own_window = 0;
    }
    if (desktop.window != nullptr) SDL_DestroyWindow(desktop.window);
    desktop.window = nullptr;
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
    // Only an X display is named: go to it alone. Otherwise SDL goes on to
    // other systems when it is not there, and their complaints (or an
    // invisible fallback's) would stand in for the plain reason.
    bool x_display_only = IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("SDL_VIDEODRIVER");
    if (x_display_only) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !ShowsWindows()) {
        if (x_display_only) {
            std::fprintf(stderr,
                         "Gyrovessel needs a graphic display, and the display named by DISPLAY (%s) "
                         "could not be opened.\n",
                         std::getenv("DISPLAY"));
        } else {
            std::fprintf(stderr, "Gyrovessel cannot open its window: no graphic display (%s).\n",
                         SDL_GetError()[0] != 0 ? SDL_GetError() : "no windowing system");
        }
        SDL_Quit();
        return 1;
    }
    // The device opens with the first cue, aside, and not before the first
    // picture is shown: the start cue follows it instead of competing with it.
    audio::StartAudioAtFirstSound();
    audio::HoldAudio(true);

    PlatformHandle handle(new Platform);
    Platform& platform = *handle;
    platform.backend = &kDesktopBackend;
    Desktop desktop;
    desktop.wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    platform.desktop = &desktop;
    // Reading the font configuration runs beside the making of the first
    // window and canvas, not beside opening the display: that one waits on
    // the display server, which needs a processor of its own meanwhile.
    desktop.font_warming = std::thread([&desktop] { InitFontBook(desktop.warm_fonts); });
    ReadRefreshRate(desktop);

    std::thread logic([&] {
        int result = game(platform);
        StopOwnDisplay(desktop.own_display, true);
        {
            std::lock_guard<std::mutex> guard(desktop.lock);
            desktop.game_done = true;
            desktop.game_result = result;
        }
        WakeMainThread(desktop);
    });
    ServiceWindow(platform, desktop);
    logic.join();
    if (desktop.font_warming.joinable()) desktop.font_warming.join();
    FreeFontBook(desktop.warm_fonts);

    int result = desktop.game_result;
    DestroyWindow(desktop);
    desktop.x_display = nullptr;
    if (desktop.wake_fd >= 0) close(desktop.wake_fd);
    audio::StopAudio();
    platform.desktop = nullptr;  // owned by this frame, not by the handle
    handle.reset();
    SDL_Quit();
    return result;
}

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
