// A line typed into the graphic window: the answers to the name, reach and
// menu questions. Echo and caret are shown at once, whatever the buffering.

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

void RestoreStrip(Canvas& canvas, const SavedStrip& strip) {
    if (strip.bytes.empty()) return;
    cairo_surface_flush(canvas.surface);
    std::size_t row_bytes = static_cast<std::size_t>(strip.width) * 4;
    for (int row = 0; row < strip.height; ++row)
        std::memcpy(canvas.pixels + static_cast<std::size_t>(strip.top + row) * canvas.stride + strip.left * 4,
                    strip.bytes.data() + row * row_bytes, row_bytes);
    cairo_surface_mark_dirty(canvas.surface);
}

// Redraws the typed text (and the caret) over the saved strip and shows it.
void ShowTyped(Platform& platform, const SavedStrip& strip, double start_x, double start_y,
               const std::string& typed, bool caret) {
    Canvas& canvas = platform.canvas;
    RestoreStrip(canvas, strip);
    canvas.position_x = start_x;
    canvas.position_y = start_y;
    if (!typed.empty()) CanvasPrintText(canvas, platform.fonts, typed, nullptr, nullptr);
    if (caret) {
        const Font& font = platform.fonts.fonts[static_cast<std::size_t>(canvas.font)];
        Color fore = ResolvedForeground(canvas);
        cairo_set_source_rgb(canvas.cairo, ((fore >> 16) & 255) / 255.0, ((fore >> 8) & 255) / 255.0,
                             (fore & 255) / 255.0);
        cairo_rectangle(canvas.cairo, std::nearbyint(canvas.position_x), std::nearbyint(start_y), kCaretWidth,
                        font.cell_height);
        cairo_fill(canvas.cairo);
    }
    GraphicRedraw(platform);
}

enum class TypedKey { Ignored, Changed, Enter };

// One key of a typed line: characters are added (up to 255, and none that
// would pass the window's right edge), Backspace takes the last one away.
TypedKey ApplyTypedKey(Platform& platform, const std::string& key, double start_x, std::string& typed) {
    if (key.size() != 1) return TypedKey::Ignored;  // function and cursor keys mean nothing here
    auto code = static_cast<unsigned char>(key[0]);
    if (code == 13) return TypedKey::Enter;
    if (code == 8) {
        if (typed.empty()) return TypedKey::Ignored;
        typed.pop_back();
        return TypedKey::Changed;
    }
    if (code < 32 || code == 127 || typed.size() >= kMaxTyped) return TypedKey::Ignored;
    typed += key[0];
    if (start_x + CanvasTextWidth(platform.canvas, platform.fonts, typed) > platform.canvas.width) {
        typed.pop_back();
        SystemBeep(platform);
        return TypedKey::Ignored;
    }
    return TypedKey::Changed;
}

}  // namespace

std::string GraphicLineInput(Platform& platform) {
    std::string typed;
    if (!platform.window_open) return typed;
    Canvas& canvas = platform.canvas;
    bool blinks = platform.backend->caret_blinks;
    // A key pressed before the question was shown is not part of the answer.
    DiscardPendingKeys(platform);

    // Typing goes on the current line; the echo never wraps.
    bool wrap = canvas.wrap;
    canvas.wrap = false;
    double start_x = canvas.position_x, start_y = canvas.position_y;
    const Font& font = platform.fonts.fonts[static_cast<std::size_t>(canvas.font)];
    // The strip is saved and restored pixel by pixel: drawing goes on the canvas at once meanwhile.
    SuspendCanvasFrames(canvas);
    SavedStrip strip = SaveStrip(canvas, static_cast<int>(std::nearbyint(start_x)),
                                 static_cast<int>(std::nearbyint(start_y)), static_cast<int>(font.cell_height));

    bool caret = blinks;
    auto next_blink = std::chrono::steady_clock::now() + kCaretBlink;
    ShowTyped(platform, strip, start_x, start_y, typed, caret);
    for (;;) {
        if (QuitRequested(platform)) break;
        // Every key typed so far is taken before the line is shown again:
        // showing a picture waits for the display, and a quick typist must
        // not wait for one per character.
        bool changed = false, entered = false;
        for (std::string key = GraphicInkey(platform); !key.empty(); key = GraphicInkey(platform)) {
            TypedKey effect = ApplyTypedKey(platform, key, start_x, typed);
            if (effect == TypedKey::Enter) {
                entered = true;
                break;
            }
            changed = changed || effect == TypedKey::Changed;
        }
        if (entered) break;
        if (changed) {
            if (blinks) {
                caret = true;
                next_blink = std::chrono::steady_clock::now() + kCaretBlink;
            }
            ShowTyped(platform, strip, start_x, start_y, typed, caret);
            continue;
        }
        if (QuitRequested(platform)) break;
        if (!blinks) {
            platform.backend->wait_for_typing(platform, std::chrono::steady_clock::time_point::max());
            continue;
        }
        auto now = std::chrono::steady_clock::now();
        if (now >= next_blink) {
            caret = !caret;
            next_blink = now + kCaretBlink;
            ShowTyped(platform, strip, start_x, start_y, typed, caret);
        } else {
            platform.backend->wait_for_typing(platform, next_blink);
        }
    }

    // The answer stays on the screen without the caret, and is logged once as printed.
    RestoreStrip(canvas, strip);
    ResumeCanvasFrames(canvas);
    canvas.position_x = start_x;
    canvas.position_y = start_y;
    GraphicPrintText(platform, typed);
    canvas.wrap = wrap;
    GraphicNewLine(platform);
    GraphicRedraw(platform);
    return typed;
}

}  // namespace platform
