#include "platform/cairo/canvas.h"

#include "platform/cairo/canvas_ops.h"
#include "platform/cairo/canvas_paths.h"
#include "platform/cairo/canvas_pixels.h"
#include "platform/cairo/canvas_text_cache.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;  // fonts are sized for a 96 dpi screen
constexpr int kDefaultPoints = 8;                 // size 0 asks for the 8-point font

// The game's text is 8-bit; Cairo wants UTF-8. Bytes 128..255 are read as
// Latin-1 so that no typed byte can put Cairo into its error state.
const std::string& ToUtf8(Canvas& canvas, std::string_view text) {
    std::string& out = canvas.utf8;
    out.clear();
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            out += ' ';
        } else if (byte < 128) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

const Font& CurrentFont(const Canvas& canvas, const FontBook& fonts) {
    std::size_t handle = static_cast<std::size_t>(canvas.font);
    return fonts.fonts[handle < fonts.fonts.size() ? handle : 0];
}

// Cairo's extents of the text as the font sets it, from the font's glyphs
// where it can: the same numbers without a call that allocates.
cairo_text_extents_t Extents(Canvas& canvas, const Font& font, std::string_view text) {
    cairo_text_extents_t extents{};
    if (!MeasureGlyphText(font, text, extents))
        cairo_scaled_font_text_extents(font.scaled, ToUtf8(canvas, text).c_str(), &extents);
    return extents;
}

// Draws one piece at the print position without wrapping and advances.
void DrawPiece(Canvas& canvas, const FontBook& fonts, std::string_view text) {
    const Font& font = CurrentFont(canvas, fonts);
    const cairo_text_extents_t extents = Extents(canvas, font, text);
    const std::string& utf8 = ToUtf8(canvas, text);
    double width = extents.x_advance;
    double left = std::nearbyint(canvas.position_x), top = std::nearbyint(canvas.position_y);
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Text);
    op.outline = ResolvedForeground(canvas);
    op.fill = canvas.background != kTransparent ? ResolvedBackground(canvas) : kTransparent;
    op.corner = static_cast<int>(&font - fonts.fonts.data());
    op.count = static_cast<std::int32_t>(utf8.size());
    op.a = left;
    op.b = top;
    op.c = width;
    // Every pixel the glyphs' ink and the background box may reach, with a
    // pixel to spare on every side for the antialiased edges.
    double ink_top = top + font.ascent + extents.y_bearing;
    op.box.left = static_cast<int>(std::floor(left + std::min(0.0, extents.x_bearing))) - 2;
    op.box.right = static_cast<int>(std::ceil(left + std::max(std::ceil(width), extents.x_bearing + extents.width))) + 2;
    op.box.top = static_cast<int>(std::floor(std::min(top, ink_top))) - 2;
    op.box.bottom = static_cast<int>(std::ceil(std::max(top + font.cell_height, ink_top + extents.height))) + 2;
    DrawCanvasOp(canvas, op, nullptr, utf8.c_str(), &fonts);
    canvas.position_x += width;
}

}  // namespace

// -- Fonts --

std::string ResolveFontFamily(std::string_view face) {
    std::string lower;
    for (char c : face) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Metric twins of the Windows faces the game names, so that layouts keep their widths.
    if (lower == "courier new" || lower == "courier") return "Liberation Mono";
    if (lower == "verdana") return "DejaVu Sans";
    if (lower == "arial") return "Liberation Sans";
    if (lower == "times new roman") return "Liberation Serif";
    if (lower.empty()) return "DejaVu Sans";
    return std::string(face);
}

void InitFontBook(FontBook& book) {
    FreeFontBook(book);
    FindOrMakeFont(book, "", 10, 0);  // the window's own font until the game picks one
}

void FreeFontBook(FontBook& book) {
    for (Font& font : book.fonts) {
        FreeFontGlyphs(font.glyphs);
        if (font.scaled != nullptr) cairo_scaled_font_destroy(font.scaled);
    }
    book.fonts.clear();
}

int FindOrMakeFont(FontBook& book, const std::string& face, int points, int style) {
    if (points == 0) points = kDefaultPoints;
    points = std::abs(points);
    style &= 1;
    std::string asked = face.substr(0, 31);
    // The game sets its font before every label of every frame: the same request
    // gives the same handle, so the book stays small and nothing is made per frame.
    for (std::size_t handle = 0; handle < book.fonts.size(); ++handle) {
        const Font& font = book.fonts[handle];
        if (font.face == asked && font.points == points && font.style == style) return static_cast<int>(handle);
    }
    std::string family = ResolveFontFamily(asked);
    cairo_font_face_t* cairo_face = cairo_toy_font_face_create(
        family.c_str(), CAIRO_FONT_SLANT_NORMAL, style ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t size{}, identity{};
    double pixels = points * kPixelsPerPoint;
    cairo_matrix_init_scale(&size, pixels, pixels);
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    Font font;
    font.glyphs = MakeFontGlyphs();
    font.face = asked;
    font.points = points;
    font.style = style;
    font.scaled = cairo_scaled_font_create(cairo_face, &size, &identity, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(cairo_face);
    cairo_font_extents_t extents{};
    cairo_scaled_font_extents(font.scaled, &extents);
    font.ascent = std::ceil(extents.ascent);
    font.cell_height = std::max(1.0, std::ceil(extents.ascent) + std::ceil(extents.descent));
    if (book.learn_whole) LearnWholeFont(font);
    book.fonts.push_back(std::move(font));
    return static_cast<int>(book.fonts.size() - 1);
}

void LearnFontsWhole(FontBook& book) {
    book.learn_whole = true;
    for (const Font& font : book.fonts) LearnWholeFont(font);
}

// -- Text --

void PaintCanvasText(Canvas& canvas, const CanvasOp& op, const char* text, const FontBook& fonts) {
    const Font& font = fonts.fonts[static_cast<std::size_t>(op.corner)];
    double left = op.a, top = op.b;
    cairo_t* cairo = canvas.cairo;
    // Text starts on whole pixels: its box and glyphs can be set directly.
    const bool direct = canvas.pixels != nullptr && left == std::nearbyint(left) && top == std::nearbyint(top);
    if (direct) cairo_surface_flush(canvas.surface);
    if (op.fill != kTransparent) {
        if (direct) {
            const int column = static_cast<int>(left), row = static_cast<int>(top);
            FillRectPixels(canvas,
                           PixelRect{column, row, column + static_cast<int>(std::ceil(op.c)),
                                     row + static_cast<int>(font.cell_height)},
                           op.fill);
        } else {
            ClipCairoToRepaint(canvas);
            Color back = op.fill;
            cairo_set_source_rgb(cairo, ((back >> 16) & 255) / 255.0, ((back >> 8) & 255) / 255.0,
                                 (back & 255) / 255.0);
            cairo_rectangle(cairo, left, top, std::ceil(op.c), font.cell_height);
            cairo_fill(cairo);
        }
    }
    if (direct) {
        const bool drawn = PaintGlyphText(canvas, font, text, left, top + font.ascent, op.outline);
        cairo_surface_mark_dirty(canvas.surface);
        if (drawn) return;
    }
    ClipCairoToRepaint(canvas);
    Color fore = op.outline;
    cairo_set_source_rgb(cairo, ((fore >> 16) & 255) / 255.0, ((fore >> 8) & 255) / 255.0, (fore & 255) / 255.0);
    cairo_set_scaled_font(cairo, font.scaled);
    cairo_move_to(cairo, left, top + font.ascent);
    cairo_show_text(cairo, text);
    cairo_new_path(cairo);
}

double CanvasTextWidth(Canvas& canvas, const FontBook& fonts, std::string_view text) {
    return Extents(canvas, CurrentFont(canvas, fonts), text).x_advance;
}

double CanvasLineHeight(const Canvas& canvas, const FontBook& fonts) {
    return CurrentFont(canvas, fonts).cell_height;
}

void CanvasPrintText(Canvas& canvas, const FontBook& fonts, std::string_view text, TextLogger logged,
                     void* context) {
    // The log holds what the game printed, one entry a call, however it wraps.
    if (logged != nullptr) logged(context, text, canvas.position_x, canvas.position_y);
    if (!canvas.wrap) {
        DrawPiece(canvas, fonts, text);
        return;
    }
    // With wrap on, whatever would pass the right edge goes on to the next line;
    // a line always takes at least one character so that a narrow window still ends.
    while (!text.empty()) {
        if (canvas.position_x + CanvasTextWidth(canvas, fonts, text) <= canvas.width) {
            DrawPiece(canvas, fonts, text);
            return;
        }
        std::size_t fits = 0;
        while (fits < text.size() &&
               canvas.position_x + CanvasTextWidth(canvas, fonts, text.substr(0, fits + 1)) <= canvas.width)
            ++fits;
        if (fits == 0 && canvas.position_x <= 0) fits = 1;
        if (fits > 0) DrawPiece(canvas, fonts, text.substr(0, fits));
        text.remove_prefix(fits);
        if (!text.empty()) CanvasNewLine(canvas, fonts);
    }
}

void CanvasNewLine(Canvas& canvas, const FontBook& fonts) {
    double line = CurrentFont(canvas, fonts).cell_height;
    canvas.position_x = 0;
    canvas.position_y += line;
    if (canvas.scroll && canvas.position_y + line > canvas.height) {
        int rows = static_cast<int>(std::ceil(canvas.position_y + line - canvas.height));
        ScrollCanvas(canvas, rows);
        canvas.position_y -= rows;
    }
}

void ScrollCanvas(Canvas& canvas, int rows) {
    if (rows <= 0) return;
    rows = std::min(rows, canvas.height);
    // The pixels move directly: whatever is recorded goes on the picture first.
    SuspendCanvasFrames(canvas);
    if (canvas.pixels == nullptr) {
        ScrollRecording(canvas, rows);
    } else {
        cairo_surface_flush(canvas.surface);
        std::size_t kept = static_cast<std::size_t>(canvas.height - rows) * canvas.stride;
        std::memmove(canvas.pixels, canvas.pixels + static_cast<std::size_t>(rows) * canvas.stride, kept);
        cairo_surface_mark_dirty(canvas.surface);
    }
    Color back = ResolvedBackground(canvas);
    cairo_t* cairo = canvas.cairo;
    cairo_set_source_rgb(cairo, ((back >> 16) & 255) / 255.0, ((back >> 8) & 255) / 255.0, (back & 255) / 255.0);
    cairo_rectangle(cairo, 0, canvas.height - rows, canvas.width, rows);
    cairo_fill(cairo);
    ResumeCanvasFrames(canvas);
}

}  // namespace platform
