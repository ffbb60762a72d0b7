// The off-screen back end: a canvas of any size, keys from a script, a clock
// that moves only when the game redraws or waits, and a log of what the game
// printed and played. Tests and tools run whole sessions on it, identically
// every time, with no display and no sound device.

#include "platform/platform.h"

#include "platform/canvas.h"
#include "platform/canvas_ops.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/platform_state.h"

#include <cairo.h>

#include <cmath>

namespace platform {

namespace {

constexpr double kWaitStep = 0.001;  // the clock moves on by this whenever the game finds no key

Offscreen& StateOf(Platform& platform) {
    return *platform.offscreen;
}

const Offscreen* StateOf(const Platform& platform) {
    return platform.offscreen;
}

// The clock as whole milliseconds since the start day's midnight.
long long ClockMilliseconds(const Offscreen& state) {
    return std::llround(state.clock * 1000.0);
}

// Each redraw uses up one frame of a pending idle step.
void CountIdleFrame(Offscreen& state) {
    if (!state.script.empty() && state.script.front().idle_redraws > 0) {
        if (--state.script.front().idle_redraws == 0) state.script.pop_front();
    }
}

}  // namespace

PlatformHandle CreateOffscreenPlatform(const OffscreenOptions& options) {
    PlatformHandle platform(new Platform);
    platform->offscreen = new Offscreen;
    platform->offscreen->options = options;
    if (platform->offscreen->options.width <= 0) platform->offscreen->options.width = 1;
    if (platform->offscreen->options.height <= 0) platform->offscreen->options.height = 1;
    platform->offscreen->clock = options.start_clock;
    InitFontBook(platform->fonts);
    return platform;
}

// -- Script --

void QueueKeys(Platform& platform, std::string_view characters) {
    if (platform.offscreen == nullptr) return;
    for (char c : characters) StateOf(platform).script.push_back(ScriptStep{std::string(1, c), 0, false});
}

void QueueKey(Platform& platform, std::string key) {
    if (platform.offscreen == nullptr || key.empty()) return;
    StateOf(platform).script.push_back(ScriptStep{std::move(key), 0, false});
}

void QueueIdle(Platform& platform, int redraws) {
    if (platform.offscreen == nullptr || redraws <= 0) return;
    StateOf(platform).script.push_back(ScriptStep{std::string(), redraws, false});
}

void QueuePendingKeys(Platform& platform, std::string_view characters) {
    if (platform.offscreen == nullptr) return;
    for (char c : characters) StateOf(platform).script.push_back(ScriptStep{std::string(1, c), 0, true});
}

void QueueConsoleLine(Platform& platform, std::string line) {
    if (platform.offscreen != nullptr) StateOf(platform).console_lines.push_back(std::move(line));
}

void WatchRedraws(Platform& platform, RedrawWatcher watcher, void* context) {
    if (platform.offscreen == nullptr) return;
    StateOf(platform).watcher = watcher;
    StateOf(platform).watcher_context = context;
}

void FailWritesAfter(Platform& platform, std::int64_t bytes) {
    if (platform.offscreen != nullptr) StateOf(platform).write_budget = bytes;
}

// -- Clock control --

void SetClock(Platform& platform, double seconds_since_midnight) {
    if (platform.offscreen != nullptr) StateOf(platform).clock = seconds_since_midnight;
}

void AdvanceClock(Platform& platform, double seconds) {
    if (platform.offscreen != nullptr) StateOf(platform).clock += seconds;
}

// -- What the canvas saw --

const std::vector<PrintedText>& PrintedTexts(const Platform& platform) {
    static const std::vector<PrintedText> kNone;
    return StateOf(platform) != nullptr ? StateOf(platform)->printed : kNone;
}

void ClearPrintedTexts(Platform& platform) {
    if (platform.offscreen != nullptr) StateOf(platform).printed.clear();
}

const std::vector<std::string>& CuesPlayed(const Platform& platform) {
    static const std::vector<std::string> kNone;
    return StateOf(platform) != nullptr ? StateOf(platform)->cues : kNone;
}

const std::string& ConsoleOutput(const Platform& platform) {
    static const std::string kNone;
    return StateOf(platform) != nullptr ? StateOf(platform)->console : kNone;
}

int RedrawCount(const Platform& platform) {
    return StateOf(platform) != nullptr ? StateOf(platform)->redraws : 0;
}

Color PixelAt(const Platform& platform, float user_x, float user_y) {
    const Canvas& canvas = platform.canvas;
    return CanvasDevicePixel(canvas, static_cast<int>(std::nearbyint(DeviceX(canvas, user_x))),
                             static_cast<int>(std::nearbyint(DeviceY(canvas, user_y))));
}

Color DevicePixelAt(const Platform& platform, int column, int row) {
    return CanvasDevicePixel(platform.canvas, column, row);
}

bool SavePng(const Platform& platform, const std::string& path) {
    return SaveCanvasPng(platform.canvas, path);
}

bool SavePicture(const Platform& platform, const std::string& path) {
    return SaveCanvas(platform.canvas, path);
}

int PicturePitch(const Platform& platform) {
    return platform.canvas.pixels != nullptr ? platform.canvas.stride : 0;
}

void CopyPictureTo(const Platform& platform, void* destination, int destination_pitch) {
    if (platform.canvas.pixels != nullptr) CopyCanvasPixels(platform.canvas, destination, destination_pitch);
}

void KeepUnchangedRegions(Platform& platform, bool on) {
    platform.keep_frames = on;
    if (platform.window_open) KeepCanvasFrames(platform.canvas, on);
}

long long CopyChangedPictureTo(Platform& platform, void* destination, int destination_pitch) {
    Canvas& canvas = platform.canvas;
    if (canvas.pixels == nullptr) return 0;
    SettleCanvas(canvas);
    const PixelRect* regions = nullptr;
    int count = 0;
    long long copied = static_cast<long long>(canvas.width) * canvas.height;
    if (ChangedCanvasRegions(canvas, &regions, &count)) {
        copied = 0;
        for (int i = 0; i < count; ++i) {
            CopyCanvasRegion(canvas, regions[i], destination, destination_pitch);
            copied += static_cast<long long>(regions[i].right - regions[i].left) * (regions[i].bottom - regions[i].top);
        }
    } else {
        CopyCanvasPixels(canvas, destination, destination_pitch);
    }
    TakeChangedCanvasRegions(canvas);
    return copied;
}

// -- Hooks for the shared operations --

namespace offscreen {

void Destroy(Platform& platform) {
    delete platform.offscreen;
    platform.offscreen = nullptr;
}

void LogText(Platform& platform, std::string_view text, double device_x, double device_y) {
    const Canvas& canvas = platform.canvas;
    const Font& font = platform.fonts.fonts[static_cast<std::size_t>(canvas.font)];
    PrintedText printed;
    printed.text = std::string(text);
    printed.x = static_cast<float>(UserX(canvas, device_x));
    printed.y = static_cast<float>(UserY(canvas, device_y));
    printed.color = ResolvedForeground(canvas);
    printed.font_face = font.face;
    printed.font_points = font.points;
    StateOf(platform).printed.push_back(std::move(printed));
}

WorkArea DesktopWorkArea(Platform& platform) {
    return WorkArea{StateOf(platform).options.width, StateOf(platform).options.height};
}

bool OpenWindow(Platform&, int, int) {
    return true;
}

void Redraw(Platform& platform) {
    Offscreen& state = StateOf(platform);
    ++state.redraws;
    state.clock += state.options.seconds_per_redraw;
    CountIdleFrame(state);
    if (state.watcher != nullptr) state.watcher(state.watcher_context, platform);
}

std::string Inkey(Platform& platform) {
    Offscreen& state = StateOf(platform);
    if (!state.script.empty() && state.script.front().idle_redraws == 0) {
        std::string key = std::move(state.script.front().key);
        state.script.pop_front();
        return key;
    }
    // Nothing left to press and nothing on its way: a real player would be
    // waiting here for ever, so the session ends instead.
    if (state.script.empty()) state.quit = true;
    state.clock += kWaitStep;
    return std::string();
}

void DiscardKeys(Platform& platform) {
    auto& script = StateOf(platform).script;
    while (!script.empty() && script.front().pending) script.pop_front();
}

void LineInputWait(Platform& platform) {
    // Waiting for a typed key costs frames, so idle steps run out here too.
    Redraw(platform);
}

double Timer(Platform& platform) {
    long long milliseconds = ClockMilliseconds(StateOf(platform)) % 86400000LL;
    if (milliseconds < 0) milliseconds += 86400000LL;
    return static_cast<double>(milliseconds) / 1000.0;
}

std::string DateText(Platform& platform) {
    const Offscreen& state = StateOf(platform);
    int year = state.options.year, month = state.options.month, day = state.options.day;
    long long milliseconds = ClockMilliseconds(state);
    long long days = milliseconds >= 0 ? milliseconds / 86400000LL : -((-milliseconds + 86399999LL) / 86400000LL);
    if (days != 0) AddDays(year, month, day, days);
    return FormatDate(year, month, day);
}

std::string TimeText(Platform& platform) {
    long long seconds = static_cast<long long>(offscreen::Timer(platform));
    return FormatTime(static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                      static_cast<int>(seconds % 60));
}

}  // namespace offscreen

}  // namespace platform
