// A line typed into the graphic window: the answers to the name, reach and
// menu questions. Echo and caret are shown at once, whatever the buffering,
// and only where they change: a caret blink hands the window a few pixels,
// not the whole picture.

#include "platform/platform.h"

#include "platform/cairo/canvas.h"
#include "platform/platform_state.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t kMaxTyped = 255;
constexpr auto kCaretBlink = std::chrono::milliseconds(500);
constexpr int kCaretWidth = 2;

// The pixels under the line being typed, so that every change can be drawn
// afresh over what was there before (the text may have no background box).
struct SavedStrip {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<unsigned char> bytes;
};

SavedStrip SaveStrip(Canvas& canvas, int left, int top, int height) {
    SavedStrip strip;
    strip.left = std::clamp(left, 0, canvas.width);
    strip.top = std::clamp(top, 0, canvas.height);
    strip.width = canvas.width - strip.left;
    strip.height = std::clamp(top + height, 0, canvas.height) - strip.top;
    if (strip.width <= 0 || strip.height <= 0) return strip;
    cairo_surface_flush(canvas.surface);
    std::size_t row_bytes = static_cast<std::size_t>(strip.width) * 4;
    strip.bytes.resize(row_bytes * static_cast<std::size_t>(strip.height));
    for (int row = 0; row < strip.height; ++row)
        std::memcpy(strip.bytes.data() + row * row_bytes,
                    canvas.pixels + static_cast<std::size_t>(strip.top + row) * canvas.stride + strip.left * 4,
                    row_bytes);
    return strip;
}

// Puts back the strip's pixels left of column `right` (all of them when it
// reaches the strip's end), and tells a canvas that keeps frames where.
void RestoreStrip(Canvas& canvas, const SavedStrip& strip, int right) {
    if (strip.bytes.empty()) return;
    int width = std::clamp(right - strip.left, 0, strip.width);
    if (width == 0) return;
    cairo_surface_flush(canvas.surface);
    std::size_t row_bytes = static_cast<std::size_t>(strip.width) * 4;
    for (int row = 0; row < strip.height; ++row)
        std::memcpy(canvas.pixels + static_cast<std::size_t>(strip.top + row) * canvas.stride + strip.left * 4,
                    strip.bytes.data() + row * row_bytes, static_cast<std::size_t>(width) * 4);
    cairo_surface_mark_dirty(canvas.surface);
    CanvasPixelsWritten(canvas, PixelRect{strip.left, strip.top, strip.left + width, strip.top + strip.height});
}

// -- The echo: the typed line drawn afresh over what was under it --

struct LineEcho {
    SavedStrip strip;
    double start_x = 0, start_y = 0;
    bool wrap = false;  // the window's wrapping, off while the line is typed
    int drawn_right = 0;  // the echo's pixels so far lie left of this column
};

// Redraws the typed text (and the caret) over the saved strip and shows it.
// The text is drawn as the canvas draws any text; the strip and the caret are
// written straight into the pixels, with word of where.
void ShowTyped(Platform& platform, LineEcho& echo, const std::string& typed, bool caret) {
    Canvas& canvas = platform.canvas;
    const Font& font = platform.fonts.fonts[static_cast<std::size_t>(canvas.font)];
    SettleCanvas(canvas);
    RestoreStrip(canvas, echo.strip, echo.drawn_right);
    canvas.position_x = echo.start_x;
    canvas.position_y = echo.start_y;
    if (!typed.empty()) CanvasPrintText(canvas, platform.fonts, typed, nullptr, nullptr);
    SettleCanvas(canvas);
    const int caret_left = static_cast<int>(std::nearbyint(canvas.position_x));
    const int top = static_cast<int>(std::nearbyint(echo.start_y));
    if (caret) {
        Color fore = ResolvedForeground(canvas);
        cairo_set_source_rgb(canvas.cairo, ((fore >> 16) & 255) / 255.0, ((fore >> 8) & 255) / 255.0,
                             (fore & 255) / 255.0);
        cairo_rectangle(canvas.cairo, caret_left, top, kCaretWidth, font.cell_height);
        cairo_fill(canvas.cairo);
        CanvasPixelsWritten(canvas, PixelRect{caret_left, top, caret_left + kCaretWidth,
                                              top + static_cast<int>(std::ceil(font.cell_height))});
    }
    // A glyph's ink may pass its advance by a little; a cell's height is more than enough.
    echo.drawn_right = caret_left + std::max(kCaretWidth, static_cast<int>(std::ceil(font.cell_height)));
    GraphicRedraw(platform);
}

// -- The line editor: what a key does to the typed line, nothing else --

enum class LineEdit { Ignored, Added, Removed, Enter };

// Characters are added (up to 255), Backspace takes the last one away, Enter
// ends the line; function and cursor keys mean nothing here.
LineEdit EditLine(std::string& typed, const std::string& key) {
    if (key.size() != 1) return LineEdit::Ignored;
    auto code = static_cast<unsigned char>(key[0]);
    if (code == 13) return LineEdit::Enter;
    if (code == 8) {
        if (typed.empty()) return LineEdit::Ignored;
        typed.pop_back();
        return LineEdit::Removed;
    }
    if (code < 32 || code == 127 || typed.size() >= kMaxTyped) return LineEdit::Ignored;
    typed += key[0];
    return LineEdit::Added;
}

// Typing goes on the current line; the echo never wraps. The strip is saved
// once, after what was drawn before is on the picture, and restored pixel by pixel.
LineEcho StartEcho(Platform& platform) {
    Canvas& canvas = platform.canvas;
    LineEcho echo;
    echo.wrap = canvas.wrap;
    canvas.wrap = false;
    echo.start_x = canvas.position_x;
    echo.start_y = canvas.position_y;
    const Font& font = platform.fonts.fonts[static_cast<std::size_t>(canvas.font)];
    SettleCanvas(canvas);
    echo.strip = SaveStrip(canvas, static_cast<int>(std::nearbyint(echo.start_x)),
                           static_cast<int>(std::nearbyint(echo.start_y)), static_cast<int>(font.cell_height));
    echo.drawn_right = echo.strip.left;
    return echo;
}

// A character that would pass the window's right edge is taken back, with a beep.
bool FitsTheWindow(Platform& platform, const LineEcho& echo, std::string& typed) {
    if (echo.start_x + CanvasTextWidth(platform.canvas, platform.fonts, typed) <= platform.canvas.width) return true;
    typed.pop_back();
    SystemBeep(platform);
    return false;
}

// The answer stays on the screen without the caret, and is logged once as printed.
void FinishEcho(Platform& platform, const LineEcho& echo, const std::string& typed) {
    Canvas& canvas = platform.canvas;
    SettleCanvas(canvas);
    RestoreStrip(canvas, echo.strip, echo.drawn_right);
    canvas.position_x = echo.start_x;
    canvas.position_y = echo.start_y;
    GraphicPrintText(platform, typed);
    canvas.wrap = echo.wrap;
    GraphicNewLine(platform);
    GraphicRedraw(platform);
}

// -- The caret: steady, or blinking where the back end blinks it --

struct Caret {
    bool blinks = false;
    bool shown = false;
    std::chrono::steady_clock::time_point next_toggle{};
};

Caret StartCaret(const Platform& platform) {
    Caret caret;
    caret.blinks = platform.backend->caret_blinks;
    caret.shown = caret.blinks;
    caret.next_toggle = std::chrono::steady_clock::now() + kCaretBlink;
    return caret;
}

// A typed key shows the caret at once and starts its blink again.
void CaretAfterTyping(Caret& caret) {
    if (!caret.blinks) return;
    caret.shown = true;
    caret.next_toggle = std::chrono::steady_clock::now() + kCaretBlink;
}

// True when the caret has just blinked and the line must be shown again.
bool CaretBlinked(Caret& caret) {
    if (!caret.blinks) return false;
    auto now = std::chrono::steady_clock::now();
    if (now < caret.next_toggle) return false;
    caret.shown = !caret.shown;
    caret.next_toggle = now + kCaretBlink;
    return true;
}

// How long to wait for the next key: until the next blink, if any.
std::chrono::steady_clock::time_point CaretWaitLimit(const Caret& caret) {
    return caret.blinks ? caret.next_toggle : std::chrono::steady_clock::time_point::max();
}

}  // namespace

std::string GraphicLineInput(Platform& platform) {
    std::string typed;
    if (!platform.window_open) return typed;
    // A key pressed before the question was shown is not part of the answer.
    DiscardPendingKeys(platform);
    LineEcho echo = StartEcho(platform);
    Caret caret = StartCaret(platform);
    ShowTyped(platform, echo, typed, caret.shown);
    for (;;) {
        if (QuitRequested(platform)) break;
        // Every key typed so far is taken before the line is shown again:
        // showing a picture waits for the display, and a quick typist must
        // not wait for one per character.
        bool changed = false, entered = false;
        for (std::string key = GraphicInkey(platform); !key.empty(); key = GraphicInkey(platform)) {
            LineEdit edit = EditLine(typed, key);
            if (edit == LineEdit::Enter) {
                entered = true;
                break;
            }
            if (edit == LineEdit::Added && !FitsTheWindow(platform, echo, typed)) edit = LineEdit::Ignored;
            changed = changed || edit != LineEdit::Ignored;
        }
        if (entered) break;
        if (changed) {
            CaretAfterTyping(caret);
            ShowTyped(platform, echo, typed, caret.shown);
            continue;
        }
        if (QuitRequested(platform)) break;
        if (CaretBlinked(caret)) {
            ShowTyped(platform, echo, typed, caret.shown);
        } else {
            platform.backend->wait_for_typing(platform, CaretWaitLimit(caret));
        }
    }
    FinishEcho(platform, echo, typed);
    return typed;
}

}  // namespace platform
