// The canvas's one painter: every operation, recorded or not, is painted
// here. Figures are set straight into the pixels where the direct routines
// can (no allocation, no path machinery); Cairo's paths take the rest.

#include "platform/cairo/canvas_ops.h"
#include "platform/cairo/canvas_paths.h"
#include "platform/cairo/canvas_pixels.h"
#include "platform/cairo/canvas_stamps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace platform {

// -- Cairo's paths and pens --

void SetSource(cairo_t* cairo, Color color) {
    cairo_set_source_rgb(cairo, ((color >> 16) & 255) / 255.0, ((color >> 8) & 255) / 255.0,
                         (color & 255) / 255.0);
}

void ApplyPen(Canvas& canvas) {
    cairo_t* cairo = canvas.cairo;
    int width = std::max(1, canvas.pen_width);
    cairo_set_line_width(cairo, width);
    // A one-pixel pen has no visible joins or caps; round ones only cost time.
    cairo_set_line_join(cairo, width > 1 ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    static constexpr double kDash[] = {18, 6};
    static constexpr double kDot[] = {3, 3};
    static constexpr double kDashDot[] = {9, 6, 3, 6};
    static constexpr double kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (canvas.pen_style) {
        case 1: cairo_set_dash(cairo, kDash, 2, 0); break;
        case 2: cairo_set_dash(cairo, kDot, 2, 0); break;
        case 3: cairo_set_dash(cairo, kDashDot, 4, 0); break;
        case 4: cairo_set_dash(cairo, kDashDotDot, 6, 0); break;
        default: cairo_set_dash(cairo, nullptr, 0, 0); break;
    }
}

void PaintFigure(Canvas& canvas, const FigureColors& colors, FillStyle style, bool even_odd) {
    cairo_t* cairo = canvas.cairo;
    cairo_set_fill_rule(cairo, even_odd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    if (colors.filled) {
        SetSource(cairo, colors.fill);
        if (style == FillStyle::Solid) {
            cairo_fill_preserve(cairo);
        } else {
            // Hatch lines in the fill colour; what lies between them shows through.
            // Saved and restored so that a repaint's region stays clipped.
            cairo_save(cairo);
            cairo_clip_preserve(cairo);
            cairo_mask(cairo, canvas.hatches[static_cast<int>(style)]);
            cairo_restore(cairo);
        }
    }
    if (colors.outlined) {
        SetSource(cairo, colors.outline);
        ApplyPen(canvas);
        cairo_stroke(cairo);
    }
    cairo_new_path(cairo);
}

void AppendEllipse(cairo_t* cairo, double centre_x, double centre_y, double radius_x, double radius_y) {
    constexpr double k = 0.5522847498307936;  // 4/3 (sqrt 2 - 1): the quarter-circle handle
    double kx = radius_x * k, ky = radius_y * k;
    cairo_move_to(cairo, centre_x + radius_x, centre_y);
    cairo_curve_to(cairo, centre_x + radius_x, centre_y + ky, centre_x + kx, centre_y + radius_y, centre_x,
                   centre_y + radius_y);
    cairo_curve_to(cairo, centre_x - kx, centre_y + radius_y, centre_x - radius_x, centre_y + ky,
                   centre_x - radius_x, centre_y);
    cairo_curve_to(cairo, centre_x - radius_x, centre_y - ky, centre_x - kx, centre_y - radius_y, centre_x,
                   centre_y - radius_y);
    cairo_curve_to(cairo, centre_x + kx, centre_y - radius_y, centre_x + radius_x, centre_y - ky,
                   centre_x + radius_x, centre_y);
    cairo_close_path(cairo);
}

void AppendRoundedBox(cairo_t* cairo, double left, double top, double right, double bottom, double radius_x,
                      double radius_y) {
    if (radius_x <= 0 || radius_y <= 0) {
        cairo_rectangle(cairo, left, top, right - left, bottom - top);
        return;
    }
    constexpr double k = 0.5522847498307936;
    double kx = radius_x * k, ky = radius_y * k;
    cairo_move_to(cairo, left + radius_x, top);
    cairo_line_to(cairo, right - radius_x, top);
    cairo_curve_to(cairo, right - radius_x + kx, top, right, top + radius_y - ky, right, top + radius_y);
    cairo_line_to(cairo, right, bottom - radius_y);
    cairo_curve_to(cairo, right, bottom - radius_y + ky, right - radius_x + kx, bottom, right - radius_x, bottom);
    cairo_line_to(cairo, left + radius_x, bottom);
    cairo_curve_to(cairo, left + radius_x - kx, bottom, left, bottom - radius_y + ky, left, bottom - radius_y);
    cairo_line_to(cairo, left, top + radius_y);
    cairo_curve_to(cairo, left, top + radius_y - ky, left + radius_x - kx, top, left + radius_x, top);
    cairo_close_path(cairo);
}

namespace {

// -- One-pixel outlines --
// Most outlines of the scene are one pixel wide; stepping along them pixel by
// pixel costs a fraction of a general stroke, which matters for polygons of a
// thousand corners drawn every frame.

bool ThinPen(const Canvas& canvas) {
    return canvas.pen_width <= 1 && canvas.pen_style == 0;
}

void PutPixel(Canvas& canvas, int x, int y, std::uint32_t pixel) {
    const PixelRect& clip = canvas.clip;
    if (x >= clip.left && y >= clip.top && x < clip.right && y < clip.bottom)
        std::memcpy(canvas.pixels + static_cast<std::size_t>(y) * canvas.stride + x * 4, &pixel, 4);
}

// The pixels nearest to the exact edge from (x0, y0) to (x1, y1), one per
// column or row along its longer extent; its ends are the pixels the corners
// snap to. Following the exact edge rather than the line between the snapped
// corners keeps the outline on the pixels the fill's seam runs through. Each
// pixel depends on the edge alone, so a repaint of part of the picture sets
// the same pixels there as a repaint of all of it.
void PlotEdge(Canvas& canvas, double x0, double y0, double x1, double y1, std::uint32_t pixel) {
    const bool along_x = std::fabs(x1 - x0) >= std::fabs(y1 - y0);
    if (!along_x) {
        std::swap(x0, y0);
        std::swap(x1, y1);
    }
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const double slope = x1 > x0 ? (y1 - y0) / (x1 - x0) : 0.0;
    const double low = std::min(y0, y1), high = std::max(y0, y1);
    // Only the stretch over the writable part of the canvas is stepped through.
    const int first = std::max(static_cast<int>(Snap(x0)), along_x ? canvas.clip.left : canvas.clip.top);
    const int last = std::min(static_cast<int>(Snap(x1)), (along_x ? canvas.clip.right : canvas.clip.bottom) - 1);
    // Beyond its corners an edge keeps to their rows (or columns).
    auto minor_at = [&](int major) { return static_cast<int>(Snap(std::clamp(y0 + (major - x0) * slope, low, high))); };
    const int minor_first = along_x ? canvas.clip.top : canvas.clip.left;
    const int minor_end = along_x ? canvas.clip.bottom : canvas.clip.right;
    if (static_cast<int>(Snap(low)) < minor_first || static_cast<int>(Snap(high)) >= minor_end) {
        for (int major = first; major <= last; ++major) {
            if (along_x) {
                PutPixel(canvas, major, minor_at(major), pixel);
            } else {
                PutPixel(canvas, minor_at(major), major, pixel);
            }
        }
        return;
    }
    // An edge within the writable rows (or columns) sets its pixels unchecked.
    auto* pixels = reinterpret_cast<std::uint32_t*>(canvas.pixels);
    const std::size_t row_pixels = static_cast<std::size_t>(canvas.stride) / 4;
    if (along_x) {
        for (int major = first; major <= last; ++major)
            pixels[static_cast<std::size_t>(minor_at(major)) * row_pixels + static_cast<std::size_t>(major)] = pixel;
    } else {
        for (int major = first; major <= last; ++major)
            pixels[static_cast<std::size_t>(major) * row_pixels + static_cast<std::size_t>(minor_at(major))] = pixel;
    }
}

// The closed outline through the given exact corners.
void PlotClosedOutline(Canvas& canvas, const double* corners, int count, Color color) {
    auto pixel = OpaquePixel(color);
    cairo_surface_flush(canvas.surface);
    for (int i = 0; i < count; ++i) {
        int next = (i + 1) % count;
        PlotEdge(canvas, corners[2 * i], corners[2 * i + 1], corners[2 * next], corners[2 * next + 1], pixel);
    }
    cairo_surface_mark_dirty(canvas.surface);
}

// -- Small discs --
// The sky is a thousand and more discs of a few pixels each; setting their
// pixels directly skips the per-call cost of a general fill.

void PlotSmallDisc(Canvas& canvas, double centre_x, double centre_y, double radius_x, double radius_y,
                   Color color) {
    cairo_surface_flush(canvas.surface);
    SetDiscPixels(canvas, centre_x, centre_y, radius_x, radius_y, OpaquePixel(color));
    cairo_surface_mark_dirty(canvas.surface);
}

}  // namespace

// -- The painter --

namespace {

// Writes straight into the pixels: Cairo is told before and after.
struct DirectPixels {
    Canvas& canvas;
    explicit DirectPixels(Canvas& target) : canvas(target) { cairo_surface_flush(canvas.surface); }
    ~DirectPixels() { cairo_surface_mark_dirty(canvas.surface); }
    DirectPixels(const DirectPixels&) = delete;
    DirectPixels& operator=(const DirectPixels&) = delete;
};

bool SetsPixels(const Canvas& canvas) {
    return canvas.pixels != nullptr && canvas.figures != nullptr;
}

// A box filled and outlined pixel by pixel; false when it is left to Cairo
// (a patterned pen, a recording canvas, a figure too large for the scratch).
bool PaintBoxPixels(Canvas& canvas, RoundBoxPaint box, const FigureColors& colors, FillStyle style) {
    if (!SetsPixels(canvas) || (colors.outlined && canvas.pen_style != 0)) return false;
    box.filled = colors.filled;
    box.fill = colors.fill;
    box.hatch_style = static_cast<int>(style);
    box.outlined = colors.outlined;
    box.outline = colors.outline;
    box.pen_width = std::max(1, canvas.pen_width);
    DirectPixels direct(canvas);
    return PaintRoundBoxPixels(canvas, box);
}

void PaintBox(Canvas& canvas, const CanvasOp& op, const FigureColors& colors, FillStyle style) {
    double left = op.a, top = op.b, right = op.c, bottom = op.d;
    std::int32_t corner_percent = op.corner;
    double radius_x = 0, radius_y = 0;
    bool ellipse = corner_percent == kEllipseCorner;
    if (ellipse) {
        radius_x = (right - left) / 2;
        radius_y = (bottom - top) / 2;
    } else if (corner_percent > 0) {
        double percent = std::min<std::int32_t>(corner_percent, 100);
        double radius = percent / 100.0 * std::min(right - left, bottom - top) / 2;
        radius_x = radius_y = radius;
    }
    cairo_t* cairo = canvas.cairo;
    // A solid figure outlined in its own colour is the figure grown by half the
    // pen: one fill instead of a fill and a stroke (the sky's stars are drawn so).
    if (colors.filled && colors.outlined && colors.fill == colors.outline && style == FillStyle::Solid &&
        canvas.pen_style == 0) {
        double grow = std::max(1, canvas.pen_width) / 2.0;
        if (ellipse && radius_x + grow <= kSmallDisc && radius_y + grow <= kSmallDisc && canvas.pixels != nullptr) {
            PlotSmallDisc(canvas, (left + right) / 2, (top + bottom) / 2, radius_x + grow, radius_y + grow,
                          colors.fill);
            return;
        }
        double round_x = radius_x > 0 ? radius_x + grow : 0, round_y = radius_y > 0 ? radius_y + grow : 0;
        RoundBoxPaint grown{left - grow, top - grow, right + grow, bottom + grow, round_x, round_y, ellipse};
        FigureColors fill_only = colors;
        fill_only.outlined = false;
        if (PaintBoxPixels(canvas, grown, fill_only, style)) return;
        ClipCairoToRepaint(canvas);
        if (ellipse) {
            AppendEllipse(cairo, (left + right) / 2, (top + bottom) / 2, radius_x + grow, radius_y + grow);
        } else {
            AppendRoundedBox(cairo, left - grow, top - grow, right + grow, bottom + grow, round_x, round_y);
        }
        SetSource(cairo, colors.fill);
        cairo_fill(cairo);
        return;
    }
    if (PaintBoxPixels(canvas, RoundBoxPaint{left, top, right, bottom, radius_x, radius_y, ellipse}, colors, style))
        return;
    ClipCairoToRepaint(canvas);
    if (ellipse) {
        AppendEllipse(cairo, (left + right) / 2, (top + bottom) / 2, radius_x, radius_y);
    } else {
        AppendRoundedBox(cairo, left, top, right, bottom, radius_x, radius_y);
    }
    PaintFigure(canvas, colors, style, false);
}

void PaintPolygon(Canvas& canvas, const CanvasOp& op, const double* corners, const FigureColors& colors,
                  FillStyle style) {
    cairo_t* cairo = canvas.cairo;
    const int count = op.count;
    bool near = true;
    for (int i = 0; i < count; ++i)
        near = near && std::fabs(corners[2 * i]) < kFarCoordinate && std::fabs(corners[2 * i + 1]) < kFarCoordinate;
    const bool even_odd = op.even_odd != 0;
    bool filled_here = false;
    if (colors.filled && SetsPixels(canvas)) {
        DirectPixels direct(canvas);
        filled_here = FillPolygonPixels(canvas, corners, count, even_odd, colors.fill, static_cast<int>(style));
    }
    if (colors.filled && !filled_here) {
        ClipCairoToRepaint(canvas);
        // Cairo samples a pixel at its centre, half a unit in from its corner.
        for (int i = 0; i < count; ++i) {
            if (i == 0) {
                cairo_move_to(cairo, corners[0] + 0.5, corners[1] + 0.5);
            } else {
                cairo_line_to(cairo, corners[2 * i] + 0.5, corners[2 * i + 1] + 0.5);
            }
        }
        cairo_close_path(cairo);
        FigureColors fill_only = colors;
        fill_only.outlined = false;
        PaintFigure(canvas, fill_only, style, even_odd);
    }
    if (!colors.outlined) return;
    if (near && ThinPen(canvas) && canvas.pixels != nullptr) {
        PlotClosedOutline(canvas, corners, count, colors.outline);
        return;
    }
    // Wider or patterned pens keep their stroke through the snapped corners.
    if (canvas.pen_style == 0 && SetsPixels(canvas)) {
        DirectPixels direct(canvas);
        if (StrokeSnappedOutline(canvas, corners, count, std::max(1, canvas.pen_width), colors.outline)) return;
    }
    ClipCairoToRepaint(canvas);
    for (int i = 0; i < count; ++i) {
        double x = PixelCentre(corners[2 * i]), y = PixelCentre(corners[2 * i + 1]);
        if (i == 0) {
            cairo_move_to(cairo, x, y);
        } else {
            cairo_line_to(cairo, x, y);
        }
    }
    cairo_close_path(cairo);
    FigureColors outline_only = colors;
    outline_only.filled = false;
    PaintFigure(canvas, outline_only, style, even_odd);
}

// Many equal discs (centre and radii, four values each) in one colour.
void PaintDiscs(Canvas& canvas, const CanvasOp& op, const double* discs) {
    if (canvas.pixels != nullptr && op.pen_style == 0 && op.a <= kSmallDisc && op.b <= kSmallDisc) {
        auto pixel = OpaquePixel(op.outline);
        cairo_surface_flush(canvas.surface);
        StampDiscs(canvas, discs, op.count, pixel);
        cairo_surface_mark_dirty(canvas.surface);
        return;
    }
    // Recorded or large discs: one path and one fill for all of them.
    ClipCairoToRepaint(canvas);
    cairo_t* cairo = canvas.cairo;
    for (int i = 0; i < op.count; ++i)
        AppendEllipse(cairo, discs[4 * i], discs[4 * i + 1], discs[4 * i + 2], discs[4 * i + 3]);
    cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_WINDING);
    SetSource(cairo, op.outline);
    cairo_fill(cairo);
}

// Many equal diamonds outlined one pixel wide (centre column and row, two values each).
void PaintDiamonds(Canvas& canvas, const CanvasOp& op, const double* centres) {
    const auto radius_x = static_cast<int>(op.a), radius_y = static_cast<int>(op.b);
    if (canvas.pixels != nullptr && radius_x <= kSmallDiamond && radius_y <= kSmallDiamond) {
        cairo_surface_flush(canvas.surface);
        StampDiamonds(canvas, centres, op.count, radius_x, radius_y, OpaquePixel(op.outline));
        cairo_surface_mark_dirty(canvas.surface);
        return;
    }
    // Recorded or large diamonds: one path through their corner pixels' centres.
    ClipCairoToRepaint(canvas);
    cairo_t* cairo = canvas.cairo;
    for (int i = 0; i < op.count; ++i) {
        const double x = centres[2 * i] + 0.5, y = centres[2 * i + 1] + 0.5;
        cairo_move_to(cairo, x, y - op.b);
        cairo_line_to(cairo, x + op.a, y);
        cairo_line_to(cairo, x, y + op.b);
        cairo_line_to(cairo, x - op.a, y);
        cairo_close_path(cairo);
    }
    cairo_set_line_width(cairo, 1);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_MITER);
    cairo_set_dash(cairo, nullptr, 0, 0);
    SetSource(cairo, op.outline);
    cairo_stroke(cairo);
}

// A solid line is set column by column; a patterned or recorded one, or one
// reaching far off the picture, is stroked through the corners.
void PaintPolyline(Canvas& canvas, const CanvasOp& op, const double* corners) {
    bool near = true;
    for (int i = 0; i < 2 * op.count; ++i) near = near && std::fabs(corners[i]) < kFarCoordinate;
    if (near && canvas.pixels != nullptr && op.pen_style == 0) {
        cairo_surface_flush(canvas.surface);
        StampPolyline(canvas, corners, op.count, op.pen_width, OpaquePixel(op.outline));
        cairo_surface_mark_dirty(canvas.surface);
        return;
    }
    ClipCairoToRepaint(canvas);
    cairo_t* cairo = canvas.cairo;
    cairo_move_to(cairo, corners[0] + 0.5, corners[1] + 0.5);
    for (int i = 1; i < op.count; ++i) cairo_line_to(cairo, corners[2 * i] + 0.5, corners[2 * i + 1] + 0.5);
    SetSource(cairo, op.outline);
    ApplyPen(canvas);
    cairo_stroke(cairo);
}

}  // namespace

void PaintCanvasOp(Canvas& canvas, const CanvasOp& op, const double* corners, const char* text,
                   const FontBook* fonts) {
    // The pen of the moment the operation was made.
    int pen_width = canvas.pen_width, pen_style = canvas.pen_style;
    canvas.pen_width = op.pen_width;
    canvas.pen_style = op.pen_style;
    cairo_t* cairo = canvas.cairo;
    FigureColors colors;
    colors.outlined = op.outlined != 0;
    colors.filled = op.filled != 0;
    colors.outline = op.outline;
    colors.fill = op.fill;
    auto style = static_cast<FillStyle>(op.style);
    switch (op.kind) {
        case CanvasOpKind::Clear:
            // (Cairo's paint allocates nothing and fills faster than a plain loop.)
            ClipCairoToRepaint(canvas);
            SetSource(cairo, op.outline);
            cairo_paint(cairo);
            break;
        case CanvasOpKind::Line:
            if (op.pen_style == 0 && SetsPixels(canvas)) {
                DirectPixels direct(canvas);
                if (StrokeLinePixels(canvas, op.a, op.b, op.c, op.d, std::max(1, op.pen_width), op.outline)) break;
            }
            ClipCairoToRepaint(canvas);
            cairo_move_to(cairo, op.a, op.b);
            cairo_line_to(cairo, op.c, op.d);
            SetSource(cairo, op.outline);
            ApplyPen(canvas);
            cairo_stroke(cairo);
            break;
        case CanvasOpKind::Pixel:
            if (canvas.pixels != nullptr) {
                DirectPixels direct(canvas);
                PutPixel(canvas, static_cast<int>(op.a), static_cast<int>(op.b), OpaquePixel(op.outline));
                break;
            }
            ClipCairoToRepaint(canvas);
            cairo_rectangle(cairo, op.a, op.b, 1, 1);
            SetSource(cairo, op.outline);
            cairo_fill(cairo);
            break;
        case CanvasOpKind::Box: PaintBox(canvas, op, colors, style); break;
        case CanvasOpKind::Polygon: PaintPolygon(canvas, op, corners, colors, style); break;
        case CanvasOpKind::Discs: PaintDiscs(canvas, op, corners); break;
        case CanvasOpKind::Diamonds: PaintDiamonds(canvas, op, corners); break;
        case CanvasOpKind::Polyline: PaintPolyline(canvas, op, corners); break;
        case CanvasOpKind::Text: PaintCanvasText(canvas, op, text, *fonts); break;
    }
    canvas.pen_width = pen_width;
    canvas.pen_style = pen_style;
}

}  // namespace platform
