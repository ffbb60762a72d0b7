#pragma once
// Text measured and drawn from each font's own glyphs, kept as Cairo made
// them: the play picture prints some thirty texts a frame and the performance
// table measures about eighteen to find its size, and every measurement or
// drawing through Cairo's text calls allocates. A glyph is asked of Cairo
// once, the first time a font shows it: its advance, its ink box and its
// coverage (the antialiased mask Cairo blends with). Texts are then measured
// by adding the glyphs up as Cairo adds them, and drawn by blending their
// masks onto the canvas with the arithmetic Cairo's blending uses, so the
// pixels are Cairo's own. Internal to platform/.

#include "platform/cairo/canvas.h"

#include <cairo.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// One character of a font, in pixels from its origin on the baseline.
struct GlyphImage {
    bool known = false;    // asked of Cairo
    bool usable = false;   // false: Cairo could not give it; texts holding it go to Cairo
    unsigned long index = 0;
    double advance = 0;    // x advance as the font measures
    double draw_advance = 0;  // x advance as Cairo places the glyphs it draws
    bool inked = false;    // a glyph with no width or height (a blank) has no ink box
    double ink_left = 0, ink_top = 0, ink_width = 0, ink_height = 0;  // Cairo's ink box
    int mask_left = 0, mask_top = 0;     // the coverage's first column and row
    int mask_width = 0, mask_height = 0;
    std::size_t mask_at = 0;             // where the coverage starts in FontGlyphs::coverage
};

// The glyphs of one font by character (the game's 8-bit text read as
// Latin-1), kept for the whole run. Until the font is learned whole, a
// character is asked of Cairo the first time it is used; once it is, every
// character is known and the store never changes again.
struct FontGlyphs {
    std::array<GlyphImage, 256> glyphs;
    std::vector<std::uint8_t> coverage;  // every glyph's mask, row by row
    bool whole = false;                  // all 256 characters asked of Cairo
    // Cairo draws on an image with the font's options merged with the
    // image's own: a font of its own, whose advances place drawn glyphs.
    cairo_scaled_font_t* drawing = nullptr;
};

FontGlyphs* MakeFontGlyphs();
void FreeFontGlyphs(FontGlyphs* glyphs);
// Asks Cairo for every character the font has not shown yet and keeps their
// masks in one block: from then on the font's texts allocate nothing.
void LearnWholeFont(const Font& font);

// Cairo's extents of the text (8-bit, as the game prints it) set at the
// origin: false when a glyph cannot be had, and Cairo must measure.
bool MeasureGlyphText(const Font& font, std::string_view text, cairo_text_extents_t& extents);

// Blends the text (UTF-8 as the canvas keeps it) in the colour onto the
// canvas's pixels inside canvas.clip, its first glyph's origin at (left,
// baseline); false when it cannot, and Cairo must draw it.
bool PaintGlyphText(Canvas& canvas, const Font& font, const char* utf8, double left, double baseline, Color color);

}  // namespace platform
