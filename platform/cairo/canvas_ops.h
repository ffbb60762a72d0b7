#pragma once
// One drawing operation of the canvas with every parameter resolved to device
// pixels and plain colours: what it paints depends on nothing else. The canvas
// paints an operation at once, or, while it keeps frames, records it and
// paints it at the redraw only where the picture changed; both go through
// PaintCanvasOp, so both give the same pixels. Internal to platform/.

#include "platform/cairo/canvas.h"

#include <cstdint>

namespace platform {

enum class CanvasOpKind : std::uint8_t { Clear, Line, Pixel, Box, Polygon, Text, Discs, Diamonds, Polyline };

// Fields before `first` say everything the operation paints; two operations
// with the same bytes there (and the same corners, discs or text) paint the same pixels.
struct CanvasOp {
    CanvasOpKind kind = CanvasOpKind::Clear;
    std::uint8_t style = 0;     // FillStyle of a box or polygon
    std::uint8_t even_odd = 0;  // polygon fill rule
    std::uint8_t outlined = 0;  // box, polygon
    std::uint8_t filled = 0;    // box, polygon
    std::int32_t pen_width = 1;
    std::int32_t pen_style = 0;
    Color outline = 0;          // the colour of a clear, line, pixel; a figure's outline; the text's colour
    Color fill = 0;             // a figure's fill; the text's background, or kTransparent
    std::int32_t corner = 0;    // box corner percent; the text's font handle
    std::int32_t count = 0;     // polygon or line corners; discs or diamonds; text bytes without the closing zero
    double a = 0, b = 0, c = 0, d = 0;  // line from (a, b) to (c, d); box left, top, right, bottom;
                                        // pixel column, row; text left, top, advance;
                                        // discs: the radii of one at the origin (a, b);
                                        // diamonds: their whole-pixel radii (a, b)
    // -- Not compared --
    std::int32_t first = 0;     // where the corners, discs or text begin in the frame's store
    PixelRect box;              // every pixel the operation may touch, inside the canvas
};

// Paints one operation (corners: a polygon's or open line's `count` exact x, y pairs,
// `count` discs as centre x, y and radii x, y, or `count` diamonds as the
// column and row of their centre pixels; text: a zero-ended UTF-8 string). Direct pixel writes stay inside canvas.clip.
void PaintCanvasOp(Canvas& canvas, const CanvasOp& op, const double* corners, const char* text,
                   const FontBook* fonts);

// Paints it now, or records it when the canvas keeps frames.
void DrawCanvasOp(Canvas& canvas, CanvasOp& op, const double* corners, const char* text, const FontBook* fonts);

// The number of doubles an operation's corners or discs take.
int CornerValues(const CanvasOp& op);

// The text operation's painter (canvas_text.cpp).
void PaintCanvasText(Canvas& canvas, const CanvasOp& op, const char* text, const FontBook& fonts);

// Paints what a kept frame holds before its pixels are read: pending drawing
// is part of the picture, so a reader's const view of the canvas stays true.
void SettleForReading(const Canvas& canvas);

// A zeroed operation, so that the bytes compared carry no stray padding.
CanvasOp BlankCanvasOp(CanvasOpKind kind);

}  // namespace platform
