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
#include "platform/desktop/desktop_state.h"
#include "platform/desktop/desktop_window.h"
#include "platform/desktop/shared_picture.h"
#include "platform/platform_state.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

namespace {

// Without an X connection to wait on (another windowing system, or before the
// first window) the main thread looks at the window's events this often.
constexpr int kEventPollMs = 4;

}  // namespace

// -- Hand-overs between the threads --

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

void RunOnWindowThread(Desktop& desktop, std::function<void()> request) {
    WaitForWindowThread(desktop, PostToWindowThread(desktop, std::move(request)));
}

bool TakeSendWhole(Desktop& desktop) {
    std::lock_guard<std::mutex> guard(desktop.lock);
    const bool whole = desktop.send_whole;
    desktop.send_whole = false;
    return whole;
}

void SendSharedCanvas(SharedPicture& shared, Canvas& canvas, bool whole) {
    cairo_surface_flush(canvas.surface);
    const PixelRect* changed = nullptr;
    int count = -1;
    if (whole || !ChangedCanvasRegions(canvas, &changed, &count)) count = -1;
    SendSharedPicture(shared, changed, count);
    TakeChangedCanvasRegions(canvas);
}

// -- The window (main thread) --

void ReadRefreshRate(Desktop& desktop) {
    desktop.frame_period = RefreshPeriod(desktop.window);
}

void FindXConnection(Desktop& desktop) {
    if (desktop.x_display != nullptr || desktop.window == nullptr) return;
    desktop.x_display = XConnectionOf(desktop.window);
    if (desktop.x_display == nullptr) return;
    std::lock_guard<std::mutex> guard(desktop.lock);
    desktop.display_name = DisplayString(desktop.x_display);
}

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

namespace {

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

}  // namespace platform
