#pragma once
// What the desktop back end's two threads share: the record they both read
// and write under its lock, and the hand-overs between them. The main
// thread's side is in desktop.cpp, the logic thread's operations in
// desktop_backend.cpp.

#include "platform/cairo/canvas.h"
#include "platform/desktop/desktop_window.h"
#include "platform/desktop/shared_picture.h"
#include "platform/platform_state.h"

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

using SteadyClock = std::chrono::steady_clock;

// A second picture in a row that changed nowhere is not sent: the game is
// waiting for a key (a page redraws in a loop until one comes), and is let go
// at the next key, or after this long at most. A single unchanged picture (the
// one before an etude begins, say) keeps the display's rhythm as any other.
constexpr auto kUnchangedPictureWait = std::chrono::seconds(1);

// Keys typed while the game is busy (a frame being shown, a wall sinking)
// wait here in order; a quick typist is far from filling it, a held key
// repeating for seconds is not worth more.
constexpr int kKeyQueueCapacity = 256;

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

// -- Hand-overs between the threads --

// Tells the main thread there is something for it.
void WakeMainThread(Desktop& desktop);
// Hands a request to the main thread and goes on; returns its number. A
// request that uses anything of the caller's must be waited for with
// WaitForWindowThread before that goes; one that holds only copies need not.
std::uint64_t PostToWindowThread(Desktop& desktop, std::function<void()> request);
void WaitForWindowThread(Desktop& desktop, std::uint64_t number);
// Runs a request on the main thread and waits for it to be done.
void RunOnWindowThread(Desktop& desktop, std::function<void()> request);
// Whether the next picture must go whole, which it then does.
bool TakeSendWhole(Desktop& desktop);
// The settled canvas sent from its own memory: the regions changed since the
// last picture, or all of it.
void SendSharedCanvas(SharedPicture& shared, Canvas& canvas, bool whole);

// -- The window (main thread) --

void ReadRefreshRate(Desktop& desktop);
// SDL's X connection lives as long as its video system; the first window shows it.
void FindXConnection(Desktop& desktop);
// (The logic thread has let go of the window before it asks for this.)
void DestroyWindow(Desktop& desktop);

}  // namespace platform
