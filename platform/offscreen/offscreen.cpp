// The off-screen back end: a canvas of any size, keys from a script, a clock
// that moves only when the game redraws or waits, and a log of what the game
// printed and played. Tests and tools run whole sessions on it, identically
// every time, with no display and no sound device.

#include "platform/offscreen/offscreen.h"

#include "platform/cairo/canvas.h"
#include "platform/cairo/canvas_ops.h"
#include "platform/cairo/picture.h"
#include "platform/clock.h"
#include "platform/platform_state.h"

#include <cairo.h>

#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr double kWaitStep = 0.001;  // the clock moves on by this whenever the game finds no key

// The run's off-screen state. The back end's own operations are reached only
// through its table, so the state is there.
Offscreen& StateOf(Platform& platform) {
    return *platform.offscreen;
}

const Offscreen& StateOf(const Platform& platform) {
    return *platform.offscreen;
}

// The controls' way in: null for a handle of the desktop back end, which they leave alone.
Offscreen* ControlledState(Platform& platform) {
    return platform.offscreen;
}

const Offscreen* ControlledState(const Platform& platform) {
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
    platform->backend = &kOffscreenBackend;
    platform->offscreen = new Offscreen;
    platform->offscreen->options = options;
    if (platform->offscreen->options.width <= 0) platform->offscreen->options.width = 1;
    if (platform->offscreen->options.height <= 0) platform->offscreen->options.height = 1;
    platform->offscreen->clock = options.start_clock;
    InitFontBook(platform->fonts);
    if (options.learn_fonts_whole) LearnFontsWhole(platform->fonts);
    return platform;
}

// -- Script --

void QueueKeys(Platform& platform, std::string_view characters) {
    Offscreen* state = ControlledState(platform);
    if (state == nullptr) return;
    for (char c : characters) state->script.push_back(ScriptStep{std::string(1, c), 0, false});
}

void QueueKey(Platform& platform, std::string key) {
    Offscreen* state = ControlledState(platform);
    if (state == nullptr || key.empty()) return;
    state->script.push_back(ScriptStep{std::move(key), 0, false});
}

void QueueIdle(Platform& platform, int redraws) {
    Offscreen* state = ControlledState(platform);
    if (state == nullptr || redraws <= 0) return;
    state->script.push_back(ScriptStep{std::string(), redraws, false});
}

void QueuePendingKeys(Platform& platform, std::string_view characters) {
    Offscreen* state = ControlledState(platform);
    if (state == nullptr) return;
    for (char c : characters) state->script.push_back(ScriptStep{std::string(1, c), 0, true});
}

void QueueConsoleLine(Platform& platform, std::string line) {
    if (Offscreen* state = ControlledState(platform)) state->console_lines.push_back(std::move(line));
}

void WatchRedraws(Platform& platform, RedrawWatcher watcher, void* context) {
    Offscreen* state = ControlledState(platform);
    if (state == nullptr) return;
    state->watcher = watcher;
    state->watcher_context = context;
}

void FailWritesAfter(Platform& platform, std::int64_t bytes) {
    if (Offscreen* state = ControlledState(platform)) state->write_budget = bytes;
}

// -- Clock control --

void SetClock(Platform& platform, double seconds_since_midnight) {
    if (Offscreen* state = ControlledState(platform)) state->clock = seconds_since_midnight;
}

void AdvanceClock(Platform& platform, double seconds) {
    if (Offscreen* state = ControlledState(platform)) state->clock += seconds;
}

// -- What the canvas saw --

const std::vector<PrintedText>& PrintedTexts(const Platform& platform) {
    static const std::vector<PrintedText> kNone;
    return ControlledState(platform) != nullptr ? ControlledState(platform)->printed : kNone;
}

void ClearPrintedTexts(Platform& platform) {
    if (Offscreen* state = ControlledState(platform)) state->printed.clear();
}

const std::vector<std::string>& CuesPlayed(const Platform& platform) {
    static const std::vector<std::string> kNone;
    return ControlledState(platform) != nullptr ? ControlledState(platform)->cues : kNone;
}

const std::string& ConsoleOutput(const Platform& platform) {
    static const std::string kNone;
    return ControlledState(platform) != nullptr ? ControlledState(platform)->console : kNone;
}

int RedrawCount(const Platform& platform) {
    return ControlledState(platform) != nullptr ? ControlledState(platform)->redraws : 0;
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
    // A recorded picture is replayed into the destination.
    if (platform.canvas.surface != nullptr) CopyCanvasPixels(platform.canvas, destination, destination_pitch);
}

long long RepaintedPicturePixels(const Platform& platform) {
    return RepaintedCanvasPixels(platform.canvas);
}

namespace {

// Kept frames hand out as many regions as the desktop's X window takes.
void KeepFrames(Canvas& canvas, bool on) {
    KeepCanvasFrames(canvas, on);
    if (on) SetChangedRegionLimit(canvas, kMaxChangedRegions);
}

}  // namespace

void KeepUnchangedRegions(Platform& platform, bool on) {
    if (Offscreen* state = ControlledState(platform)) state->keep_frames = on;
    if (platform.window_open) KeepFrames(platform.canvas, on);
}

long long CopyChangedPictureTo(Platform& platform, void* destination, int destination_pitch) {
    Canvas& canvas = platform.canvas;
    if (canvas.pixels == nullptr) return 0;
    SettleCanvas(canvas);
    const PixelRect* regions = nullptr;
    int count = 0;
    long long copied = static_cast<long long>(canvas.width) * canvas.height;
    if (ChangedCanvasRegions(canvas, &regions, &count)) {
        // As the desktop's X window takes them: the regions alone.
        cairo_surface_flush(canvas.surface);
        auto* target = static_cast<unsigned char*>(destination);
        copied = 0;
        for (int i = 0; i < count; ++i) {
            const PixelRect& region = regions[i];
            const auto bytes = static_cast<std::size_t>(region.right - region.left) * 4;
            for (int row = region.top; row < region.bottom; ++row)
                std::memcpy(target + static_cast<std::size_t>(row) * destination_pitch + region.left * 4,
                            canvas.pixels + static_cast<std::size_t>(row) * canvas.stride + region.left * 4, bytes);
            copied += static_cast<long long>(region.right - region.left) * (region.bottom - region.top);
        }
    } else {
        CopyCanvasPixels(canvas, destination, destination_pitch);
    }
    TakeChangedCanvasRegions(canvas);
    return copied;
}

// -- The back end's operations --

namespace {

void LogText(void* context, std::string_view text, double device_x, double device_y) {
    Platform& platform = *static_cast<Platform*>(context);
    if (!StateOf(platform).options.log_printed) return;
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

WorkArea OffscreenWorkArea(Platform& platform) {
    return WorkArea{StateOf(platform).options.width, StateOf(platform).options.height};
}

// A recording canvas keeps its figures as drawn and is always drawn at once.
bool OpenWindow(Platform& platform, const std::string&, int, int, int width, int height) {
    const Offscreen& state = StateOf(platform);
    const CanvasMemory memory = state.options.record_vector   ? CanvasMemory::Recording
                                : state.options.shared_memory ? CanvasMemory::Shared
                                                              : CanvasMemory::Private;
    if (!CreateCanvas(platform.canvas, width, height, memory)) return false;
    if (state.keep_frames) KeepFrames(platform.canvas, true);
    return true;
}

void NoWindowManager(Platform&, int, int) {}

void NoFocus(Platform&) {}

void Redraw(Platform& platform) {
    Offscreen& state = StateOf(platform);
    ++state.redraws;
    state.clock += state.options.seconds_per_redraw;
    CountIdleFrame(state);
    if (state.watcher != nullptr) state.watcher(state.watcher_context, platform);
}

bool ScriptRanOut(const Platform& platform) {
    return StateOf(platform).quit;
}

std::string ScriptKey(Platform& platform) {
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

void DiscardPendingScriptKeys(Platform& platform) {
    auto& script = StateOf(platform).script;
    while (!script.empty() && script.front().pending) script.pop_front();
}

void WaitForTyping(Platform& platform, std::chrono::steady_clock::time_point) {
    // Waiting for a typed key costs frames, so idle steps run out here too.
    Redraw(platform);
}

double ScriptTimer(Platform& platform) {
    long long milliseconds = ClockMilliseconds(StateOf(platform)) % 86400000LL;
    if (milliseconds < 0) milliseconds += 86400000LL;
    return static_cast<double>(milliseconds) / 1000.0;
}

std::string ScriptDate(Platform& platform) {
    const Offscreen& state = StateOf(platform);
    int year = state.options.year, month = state.options.month, day = state.options.day;
    long long milliseconds = ClockMilliseconds(state);
    long long days = milliseconds >= 0 ? milliseconds / 86400000LL : -((-milliseconds + 86399999LL) / 86400000LL);
    if (days != 0) AddDays(year, month, day, days);
    return FormatDate(year, month, day);
}

std::string ScriptTime(Platform& platform) {
    long long seconds = static_cast<long long>(ScriptTimer(platform));
    return FormatTime(static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                      static_cast<int>(seconds % 60));
}

void LogCue(Platform& platform, std::string_view name) {
    StateOf(platform).cues.emplace_back(name);  // logged, never played
}

void LogBeep(Platform& platform) {
    StateOf(platform).cues.emplace_back("<beep>");
}

void LogConsole(Platform& platform, std::string_view text) {
    StateOf(platform).console.append(text);
}

std::string NextConsoleLine(Platform& platform) {
    Offscreen& state = StateOf(platform);
    std::string line;
    if (!state.console_lines.empty()) {
        line = std::move(state.console_lines.front());
        state.console_lines.pop_front();
    }
    // The same editing a terminal would have done to the typed keys.
    std::string kept;
    for (char c : line) {
        auto code = static_cast<unsigned char>(c);
        if (code == 8) {
            if (!kept.empty()) kept.pop_back();
        } else if (code >= 32 && code != 127 && kept.size() < kMaxConsoleLine) {
            kept += c;
        }
    }
    state.console += kept;
    state.console += '\n';  // the echo and the Enter
    return kept;
}

}  // namespace

const Backend kOffscreenBackend = {
    .work_area = &OffscreenWorkArea,
    .open_window = &OpenWindow,
    .set_location = &NoWindowManager,
    .set_focus = &NoFocus,
    .redraw = &Redraw,
    .quit_requested = &ScriptRanOut,
    .inkey = &ScriptKey,
    .discard_keys = &DiscardPendingScriptKeys,
    .wait_for_typing = &WaitForTyping,
    .caret_blinks = false,  // a scripted run's pictures show no caret
    .text_logger = &LogText,
    .timer = &ScriptTimer,
    .date_text = &ScriptDate,
    .time_text = &ScriptTime,
    .play_cue = &LogCue,
    .beep = &LogBeep,
    .console_write = &LogConsole,
    .console_read_line = &NextConsoleLine,
};

}  // namespace platform
