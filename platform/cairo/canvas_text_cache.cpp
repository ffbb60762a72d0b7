#include "platform/cairo/canvas_text_cache.h"

#include "platform/cairo/canvas_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// The character a byte of the game's text stands for: Latin-1, a zero byte
// printed as a blank (as the canvas prints it).
int CharacterOf(unsigned char byte) {
    return byte == 0 ? ' ' : byte;
}

int Utf8Of(int character, char* out) {
    if (character < 128) {
        out[0] = static_cast<char>(character);
        return 1;
    }
    out[0] = static_cast<char>(0xC0 | (character >> 6));
    out[1] = static_cast<char>(0x80 | (character & 0x3F));
    return 2;
}

// The font Cairo draws with on an image surface: the font made for the game,
// its options merged with the surface's. Its advances place the glyphs.
cairo_scaled_font_t* DrawingFont(const Font& font) {
    FontGlyphs& cache = *font.glyphs;
    if (cache.drawing != nullptr) return cache.drawing;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cairo = cairo_create(surface);
    cairo_set_scaled_font(cairo, font.scaled);
    cache.drawing = cairo_scaled_font_reference(cairo_get_scaled_font(cairo));
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return cache.drawing;
}

bool OneGlyph(cairo_scaled_font_t* scaled, int character, cairo_glyph_t& glyph, cairo_text_extents_t& extents) {
    char utf8[2];
    const int length = Utf8Of(character, utf8);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    const cairo_status_t status =
        cairo_scaled_font_text_to_glyphs(scaled, 0, 0, utf8, length, &glyphs, &count, nullptr, nullptr, nullptr);
    const bool one = status == CAIRO_STATUS_SUCCESS && count == 1;
    if (one) {
        glyph = glyphs[0];
        cairo_scaled_font_glyph_extents(scaled, glyphs, 1, &extents);
    }
    cairo_glyph_free(glyphs);
    return one && cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS;
}

// Cairo's coverage of one glyph at a whole-pixel origin, trimmed to its ink.
void LearnMask(FontGlyphs& cache, GlyphImage& image, cairo_scaled_font_t* drawing, const cairo_glyph_t& glyph,
               const cairo_text_extents_t& ink) {
    if (ink.width <= 0 || ink.height <= 0) return;  // a blank
    const int left = static_cast<int>(std::floor(ink.x_bearing)) - 2;
    const int top = static_cast<int>(std::floor(ink.y_bearing)) - 2;
    const int width = static_cast<int>(std::ceil(ink.x_bearing + ink.width)) + 2 - left;
    const int height = static_cast<int>(std::ceil(ink.y_bearing + ink.height)) + 2 - top;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* cairo = cairo_create(surface);
    cairo_set_scaled_font(cairo, drawing);
    cairo_set_operator(cairo, CAIRO_OPERATOR_ADD);
    cairo_set_source_rgb(cairo, 1, 1, 1);
    cairo_glyph_t placed{glyph.index, -static_cast<double>(left), -static_cast<double>(top)};
    cairo_show_glyphs(cairo, &placed, 1);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    int first_row = height, last_row = -1, first_column = width, last_column = -1;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            if (data[row * stride + column] != 0) {
                first_row = std::min(first_row, row);
                last_row = std::max(last_row, row);
                first_column = std::min(first_column, column);
                last_column = std::max(last_column, column);
            }
    if (last_row >= 0) {
        image.mask_left = left + first_column;
        image.mask_top = top + first_row;
        image.mask_width = last_column - first_column + 1;
        image.mask_height = last_row - first_row + 1;
        image.mask_at = cache.coverage.size();
        for (int row = first_row; row <= last_row; ++row) {
            const unsigned char* line = data + row * stride;
            cache.coverage.insert(cache.coverage.end(), line + first_column, line + last_column + 1);
        }
    }
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
}

// The glyph of a character, asked of Cairo the first time.
const GlyphImage& GlyphOf(const Font& font, int character) {
    FontGlyphs& cache = *font.glyphs;
    GlyphImage& image = cache.glyphs[static_cast<std::size_t>(character)];
    if (image.known) return image;
    image.known = true;
    cairo_glyph_t glyph{};
    cairo_text_extents_t measured{}, drawn{};
    cairo_scaled_font_t* drawing = DrawingFont(font);
    if (!OneGlyph(font.scaled, character, glyph, measured) || !OneGlyph(drawing, character, glyph, drawn)) return image;
    image.usable = true;
    image.advance = measured.x_advance;
    image.inked = measured.width != 0 && measured.height != 0;
    image.ink_left = measured.x_bearing;
    image.ink_top = measured.y_bearing;
    image.ink_width = measured.width;
    image.ink_height = measured.height;
    image.draw_advance = drawn.x_advance;
    LearnMask(cache, image, drawing, glyph, drawn);
    return image;
}

// -- Blending as Cairo's image back end blends a solid colour through a mask --

std::uint32_t Times(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t t = a * b + 0x80;
    return ((t >> 8) + t) >> 8;
}

std::uint32_t Blend(std::uint32_t under, std::uint32_t colour, std::uint32_t coverage) {
    if (coverage == 255) return colour;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t channel = Times((under >> shift) & 255, 255 - coverage) + Times((colour >> shift) & 255, coverage);
        out |= std::min<std::uint32_t>(channel, 255) << shift;
    }
    return out;
}

// Blends the colour through a mask (rows of `pitch` bytes) covering `box`,
// inside canvas.clip.
void BlendMask(Canvas& canvas, const std::uint8_t* mask, int pitch, const PixelRect& box, std::uint32_t colour) {
    const PixelRect& clip = canvas.clip;
    const int first_row = std::max(box.top, clip.top), end_row = std::min(box.bottom, clip.bottom);
    const int first_column = std::max(box.left, clip.left), end_column = std::min(box.right, clip.right);
    for (int y = first_row; y < end_row; ++y) {
        const std::uint8_t* coverage = mask + static_cast<std::size_t>(y - box.top) * pitch - box.left;
        auto* line = reinterpret_cast<std::uint32_t*>(canvas.pixels + static_cast<std::size_t>(y) * canvas.stride);
        for (int x = first_column; x < end_column; ++x) {
            const std::uint32_t m = coverage[x];
            if (m != 0) line[x] = Blend(line[x], colour, m);
        }
    }
}

struct PlacedGlyph {
    const GlyphImage* image = nullptr;
    int x = 0, y = 0;  // the mask's top-left pixel
};

bool Overlap(const PlacedGlyph& a, const PlacedGlyph& b) {
    return a.x < b.x + b.image->mask_width && b.x < a.x + a.image->mask_width && a.y < b.y + b.image->mask_height &&
           b.y < a.y + a.image->mask_height;
}

constexpr int kMaxPlacedGlyphs = 512;

}  // namespace

FontGlyphs* MakeFontGlyphs() {
    auto* glyphs = new FontGlyphs;
    glyphs->coverage.reserve(64 * 1024);
    return glyphs;
}

void LearnWholeFont(const Font& font) {
    FontGlyphs* cache = font.glyphs;
    if (cache == nullptr || cache->whole) return;
    // A zero byte is printed as a blank: it is never looked up itself.
    for (int character = 1; character < 256; ++character) GlyphOf(font, character);
    cache->coverage.shrink_to_fit();
    cache->whole = true;
}

void FreeFontGlyphs(FontGlyphs* glyphs) {
    if (glyphs == nullptr) return;
    if (glyphs->drawing != nullptr) cairo_scaled_font_destroy(glyphs->drawing);
    delete glyphs;
}

bool MeasureGlyphText(const Font& font, std::string_view text, cairo_text_extents_t& extents) {
    extents = cairo_text_extents_t{};
    if (font.glyphs == nullptr) return false;
    // As Cairo sums a run of glyphs: each at the pen position the advances
    // before it reach, the ink boxes of inked glyphs joined.
    double x = 0;
    bool inked = false;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (char byte : text) {
        const GlyphImage& glyph = GlyphOf(font, CharacterOf(static_cast<unsigned char>(byte)));
        if (!glyph.usable) return false;
        if (glyph.inked) {
            const double left = glyph.ink_left + x, right = left + glyph.ink_width;
            const double top = glyph.ink_top, bottom = top + glyph.ink_height;
            if (!inked) {
                min_x = left;
                max_x = right;
                min_y = top;
                max_y = bottom;
                inked = true;
            } else {
                min_x = std::min(min_x, left);
                max_x = std::max(max_x, right);
                min_y = std::min(min_y, top);
                max_y = std::max(max_y, bottom);
            }
        }
        x += glyph.advance;
    }
    if (inked) {
        extents.x_bearing = min_x;
        extents.y_bearing = min_y;
        extents.width = max_x - min_x;
        extents.height = max_y - min_y;
    }
    extents.x_advance = x;
    return true;
}

bool PaintGlyphText(Canvas& canvas, const Font& font, const char* utf8, double left, double baseline, Color color) {
    if (canvas.pixels == nullptr || font.glyphs == nullptr) return false;
    std::array<PlacedGlyph, kMaxPlacedGlyphs> placed;
    int count = 0;
    double x = left;
    const int row = static_cast<int>(std::floor(baseline + 0.5));
    for (const char* at = utf8; *at != 0;) {
        auto byte = static_cast<unsigned char>(*at++);
        int character = byte;
        if (byte >= 0xC0 && *at != 0) character = ((byte & 0x1F) << 6) | (static_cast<unsigned char>(*at++) & 0x3F);
        if (character > 255) return false;
        const GlyphImage& glyph = GlyphOf(font, character);
        if (!glyph.usable) return false;
        // Cairo sets each glyph on the whole pixel nearest its pen position.
        const int column = static_cast<int>(std::floor(x + 0.5));
        x += glyph.draw_advance;
        if (glyph.mask_width == 0) continue;
        if (count == kMaxPlacedGlyphs) return false;
        placed[static_cast<std::size_t>(count++)] = PlacedGlyph{&glyph, column + glyph.mask_left, row + glyph.mask_top};
    }
    bool overlapping = false;
    for (int i = 0; i < count && !overlapping; ++i)
        for (int j = i + 1; j < count && !overlapping; ++j)
            overlapping = Overlap(placed[static_cast<std::size_t>(i)], placed[static_cast<std::size_t>(j)]);
    const std::uint32_t colour = OpaquePixel(color);
    const std::uint8_t* coverage = font.glyphs->coverage.data();
    if (!overlapping) {
        for (int i = 0; i < count; ++i) {
            const PlacedGlyph& glyph = placed[static_cast<std::size_t>(i)];
            const GlyphImage& image = *glyph.image;
            BlendMask(canvas, coverage + image.mask_at, image.mask_width, PixelRect{glyph.x, glyph.y, glyph.x + image.mask_width, glyph.y + image.mask_height}, colour);
        }
        return true;
    }
    // Where glyphs' masks meet, Cairo adds them up before it blends once.
    if (count == 0 || canvas.figures == nullptr) return false;
    PixelRect box{placed[0].x, placed[0].y, placed[0].x, placed[0].y};
    for (int i = 0; i < count; ++i) {
        const PlacedGlyph& glyph = placed[static_cast<std::size_t>(i)];
        box.left = std::min(box.left, glyph.x);
        box.top = std::min(box.top, glyph.y);
        box.right = std::max(box.right, glyph.x + glyph.image->mask_width);
        box.bottom = std::max(box.bottom, glyph.y + glyph.image->mask_height);
    }
    const int width = box.right - box.left, height = box.bottom - box.top;
    std::uint8_t* sum = canvas.figures->text_coverage.data();
    if (static_cast<std::size_t>(width) * height > canvas.figures->text_coverage.size()) return false;
    std::fill(sum, sum + static_cast<std::size_t>(width) * height, 0);
    for (int i = 0; i < count; ++i) {
        const PlacedGlyph& glyph = placed[static_cast<std::size_t>(i)];
        const GlyphImage& image = *glyph.image;
        for (int y = 0; y < image.mask_height; ++y) {
            const std::uint8_t* mask = coverage + image.mask_at + static_cast<std::size_t>(y) * image.mask_width;
            std::uint8_t* into = sum + static_cast<std::size_t>(glyph.y - box.top + y) * width + (glyph.x - box.left);
            for (int x = 0; x < image.mask_width; ++x)
                into[x] = static_cast<std::uint8_t>(std::min(255, into[x] + mask[x]));
        }
    }
    BlendMask(canvas, sum, width, box, colour);
    return true;
}

}  // namespace platform
