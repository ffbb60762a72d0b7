#pragma once
// The off-screen back end's door, for tests, tools and the picture exports: a
// Cairo canvas of any size with scripted keys, a clock that moves only when
// the game redraws or waits, and a log of everything printed, played and
// written to the console, so that whole sessions run identically every time
// with no display and no sound device. The controls below do nothing on a
// handle of the desktop back end.

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct OffscreenOptions {
    int width = 1920;                 // work area and window client size
    int height = 1080;
    double start_clock = 36000.0;     // Timer() at creation, seconds since midnight
    double seconds_per_redraw = 1.0 / 60.0;  // the clock advances by this at every GraphicRedraw
    int year = 2026, month = 12, day = 8;    // local date reported by DateText
    // Keep every figure and glyph as drawn instead of pixels, so that SavePicture
    // writes SVG and PDF as true vector pictures. Pixel reads replay the figures
    // and are slower; for pictures to be saved, not for whole sessions.
    bool record_vector = false;
    // Log every printed text for PrintedTexts. The desktop window keeps no
    // such log: a benchmark of the frame turns it off to count what the game allocates.
    bool log_printed = true;
    // Every font learns all its glyphs at once, as the desktop's do once the
    // game first rests: a benchmark of play frames then counts no glyph made late.
    bool learn_fonts_whole = false;
    // The canvas in memory shared as the desktop's is with the display server
    // (in small pages): a benchmark of the frame then reads and writes it as play does.
    bool shared_memory = false;
};
PlatformHandle CreateOffscreenPlatform(const OffscreenOptions& options);

// Scripted keys.
// Keys are handed out one per GraphicInkey / line-input read, in order.
void QueueKeys(Platform& platform, std::string_view characters);  // each character one key ("\r" is Enter)
void QueueKey(Platform& platform, std::string key);               // one key as GraphicInkey returns it
void QueueIdle(Platform& platform, int redraws);  // hold back the following keys for this many redraws
// Keys already pressed and waiting when the game next looks (typed while it was
// busy, say during a sinking wall): handed out like the others, unless the game
// first discards its pending keys (DiscardPendingKeys), which drops them.
void QueuePendingKeys(Platform& platform, std::string_view characters);
void QueueConsoleLine(Platform& platform, std::string line);      // a line for ConsoleLineInput
// Once the scripted keys run out while the game waits for one, the back end
// asks the game to quit (QuitRequested) instead of waiting for ever.

// Called at every GraphicRedraw with the finished picture.
using RedrawWatcher = void (*)(void* context, Platform& platform);
void WatchRedraws(Platform& platform, RedrawWatcher watcher, void* context);

// A full disk: from now on every append writes at most
// `bytes` bytes and then fails as a full disk does; a negative value lifts it.
void FailWritesAfter(Platform& platform, std::int64_t bytes);

// Clock control.
void SetClock(Platform& platform, double seconds_since_midnight);
void AdvanceClock(Platform& platform, double seconds);

// What the off-screen canvas saw.
struct PrintedText {
    std::string text;
    float x = 0, y = 0;          // user coordinates of the print position
    Color color = 0;             // foreground colour the text was printed in
    std::string font_face;       // face name as the game asked for it
    int font_points = 0;         // size in points as the game asked for it
};
const std::vector<PrintedText>& PrintedTexts(const Platform& platform);
void ClearPrintedTexts(Platform& platform);
const std::vector<std::string>& CuesPlayed(const Platform& platform);  // names as requested; "<beep>" for the alert sound
const std::string& ConsoleOutput(const Platform& platform);
int RedrawCount(const Platform& platform);
Color PixelAt(const Platform& platform, float user_x, float user_y);  // 0xRRGGBB of the drawing buffer
Color DevicePixelAt(const Platform& platform, int column, int row);  // by pixel column and row
bool SavePng(const Platform& platform, const std::string& path);
// The picture as PNG, SVG or PDF by the path's extension (upper or lower case).
// False without a window, on any other extension, or when the file cannot be written.
bool SavePicture(const Platform& platform, const std::string& path);

// Keep frames and repaint only what changed, as the desktop does (takes effect
// now and for every window opened later).
void KeepUnchangedRegions(Platform& platform, bool on);
// Copies what changed since the last such copy (everything the first time, or
// when the canvas cannot tell), as the desktop hands a picture to its window;
// returns the number of pixels copied.
long long CopyChangedPictureTo(Platform& platform, void* destination, int destination_pitch);

}  // namespace platform
