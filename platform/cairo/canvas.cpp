#include "platform/cairo/canvas.h"

#include "platform/cairo/canvas_ops.h"
#include "platform/cairo/canvas_pixels.h"
#include "platform/cairo/canvas_stamps.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr int kHatchSize = 8;  // hatch patterns repeat every 8 pixels, anchored at the window corner

// Whole device pixels: figures snap to the pixel grid, halves to even as everywhere.
double Snap(double device) {
    return std::nearbyint(device);
}

// The centre of the pixel a device coordinate falls on, in Cairo's coordinates.
double PixelCentre(double device) {
    return Snap(device) + 0.5;
}

void SetSource(cairo_t* cairo, Color color) {
    cairo_set_source_rgb(cairo, ((color >> 16) & 255) / 255.0, ((color >> 8) & 255) / 255.0,
                         (color & 255) / 255.0);
}

// The mask of one hatch style: lines one pixel wide, 8 pixels apart.
cairo_pattern_t* MakeHatch(int style) {
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, kHatchSize, kHatchSize);
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    int stride = cairo_image_surface_get_stride(mask);
    for (int row = 0; row < kHatchSize; ++row)
        for (int column = 0; column < kHatchSize; ++column)
            data[row * stride + column] = HatchCovers(style, column, row) ? 255 : 0;
    cairo_surface_mark_dirty(mask);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(mask);
    cairo_surface_destroy(mask);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    return pattern;
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

bool PenDraws(const Canvas& canvas) {
    return canvas.pen_style != 5;
}

// Outline -1 is the foreground; fill -1 is the outline's colour; -2 is nothing.
struct FigureColors {
    bool outlined = false;
    bool filled = false;
    Color outline = 0;
    Color fill = 0;
};

FigureColors ResolveFigure(const Canvas& canvas, Color outline, Color fill) {
    FigureColors colors;
    colors.outlined = outline != kTransparent && PenDraws(canvas);
    colors.outline = (outline < 0) ? ResolvedForeground(canvas) : (outline & 0xFFFFFF);
    colors.filled = fill != kTransparent;
    colors.fill = (fill < 0) ? colors.outline : (fill & 0xFFFFFF);
    return colors;
}

void SetFigure(CanvasOp& op, const FigureColors& colors, FillStyle style) {
    op.outlined = colors.outlined ? 1 : 0;
    op.filled = colors.filled ? 1 : 0;
    op.outline = colors.outline;
    op.fill = colors.fill;
    op.style = static_cast<std::uint8_t>(style);
}

FillStyle CheckedStyle(FillStyle style) {
    int value = static_cast<int>(style);
    return (value < 0 || value > 6) ? FillStyle::Solid : style;
}

// Fills and outlines the path already built on the canvas, then drops it.
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

// Four Bezier quarters, built without touching the transformation.
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

// A rectangle from (left, top) to (right, bottom) with elliptic corners of the
// given radii; both radii 0 gives the plain rectangle.
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

// -- One-pixel outlines --
// Most outlines of the scene are one pixel wide; stepping along them pixel by
// pixel costs a fraction of a general stroke, which matters for polygons of a
// thousand corners drawn every frame.

constexpr int kFarCoordinate = 1 << 15;  // beyond this a corner goes to the general stroke

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
    for (int major = first; major <= last; ++major) {
        // Beyond its corners an edge keeps to their rows (or columns).
        const double exact = std::clamp(y0 + (major - x0) * slope, low, high);
        const int minor = static_cast<int>(Snap(exact));
        if (along_x) {
            PutPixel(canvas, major, minor, pixel);
        } else {
            PutPixel(canvas, minor, major, pixel);
        }
    }
}

// The closed outline through the given exact corners.
void PlotClosedOutline(Canvas& canvas, const double* corners, int count, Color color) {
    auto pixel = static_cast<std::uint32_t>(color) | 0xFF000000u;
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
    SetDiscPixels(canvas, centre_x, centre_y, radius_x, radius_y, static_cast<std::uint32_t>(color) | 0xFF000000u);
    cairo_surface_mark_dirty(canvas.surface);
}

// The disc CanvasBox draws for an ellipse box around (x, y) with half sides r,
// outlined in its own colour by the current pen: centre and radii in Cairo's
// coordinates.
struct DeviceDisc {
    double centre_x, centre_y, radius_x, radius_y;
};
DeviceDisc DiscAround(const Canvas& canvas, float x, float y, float r) {
    double left = PixelCentre(DeviceX(canvas, x - r)), right = PixelCentre(DeviceX(canvas, x + r));
    double top = PixelCentre(DeviceY(canvas, y + r)), bottom = PixelCentre(DeviceY(canvas, y - r));
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    double grow = std::max(1, canvas.pen_width) / 2.0;
    return {(left + right) / 2, (top + bottom) / 2, (right - left) / 2 + grow, (bottom - top) / 2 + grow};
}

// The drawing context's settings every canvas starts with.
void SetUpCairo(cairo_t* cairo) {
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
}

// -- Pixel memory --
// The picture's pages are mapped and filled in at once, so that the first
// picture does not stall on thousands of page faults, one a page as it is
// first painted; fresh pages read as black. They are filled in a piece at a
// time: while the kernel fills them, no other thread can map memory (at start
// the window thread is making the window meanwhile).

void RecomputeScale(Canvas& canvas) {
    if (!canvas.scale_set) {
        canvas.origin_x = 0;
        canvas.origin_y = 0;
        canvas.scale_x = 1;
        canvas.scale_y = 1;
        return;
    }
    // Inclusive: x2 and y2 fall on the last column and row, not one past them.
    double columns = canvas.inclusive ? canvas.width - 1 : canvas.width;
    double rows = canvas.inclusive ? canvas.height - 1 : canvas.height;
    double span_x = static_cast<double>(canvas.scale_x2) - canvas.scale_x1;
    double span_y = static_cast<double>(canvas.scale_y2) - canvas.scale_y1;
    canvas.origin_x = canvas.scale_x1;
    canvas.origin_y = canvas.scale_y1;
    canvas.scale_x = span_x != 0 ? columns / span_x : 1.0;
    canvas.scale_y = span_y != 0 ? rows / span_y : 1.0;
}

}  // namespace

// -- Life of a canvas --

std::size_t PixelBytes(int stride, int height) {
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

unsigned char* MapPixels(std::size_t bytes) {
    // Mapped one huge page over and trimmed, so that the pixels start on one.
    void* mapped = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    auto* start = static_cast<unsigned char*>(mapped);
    const std::size_t lead = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
    if (lead > 0) munmap(start, lead);
    munmap(start + lead + bytes, kHugePage - lead);
    unsigned char* pixels = start + lead;
    // Huge pages where the system gives them: a repaint of scattered changed
    // cells touches a few bytes on each of many rows, and with 4 KB pages
    // nearly every row would miss the processor's page table cache.
    madvise(pixels, bytes, MADV_HUGEPAGE);
    // Filled in a piece at a time, so that the window thread mapping its own
    // memory meanwhile is not held up for the whole picture.
    for (std::size_t done = 0; done < bytes; done += kHugePage) {
        const std::size_t piece = std::min(kHugePage, bytes - done);
#if defined(MADV_POPULATE_WRITE)
        if (madvise(pixels + done, piece, MADV_POPULATE_WRITE) == 0) continue;
#endif
        std::memset(pixels + done, 0, piece);
    }
    return pixels;
}

void UnmapPixels(unsigned char* pixels, std::size_t bytes) {
    if (pixels != nullptr) munmap(pixels, bytes);
}

bool CreateCanvas(Canvas& canvas, int width, int height, bool recording) {
    DestroyCanvas(canvas);
    if (width <= 0 || height <= 0) return false;
    unsigned char* pixels = nullptr;
    int stride = 0;
    std::size_t bytes = 0;
    cairo_surface_t* surface = nullptr;
    if (recording) {
        cairo_rectangle_t extents{0, 0, static_cast<double>(width), static_cast<double>(height)};
        surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, &extents);
    } else {
        stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
        bytes = PixelBytes(stride, height);
        pixels = MapPixels(bytes);
        if (pixels == nullptr) return false;
        surface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB24, width, height, stride);
    }
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        UnmapPixels(pixels, bytes);
        return false;
    }
    canvas = Canvas{};
    canvas.pixels = pixels;
    canvas.surface = surface;
    canvas.cairo = cairo_create(surface);
    canvas.width = width;
    canvas.height = height;
    canvas.stride = stride;
    canvas.clip = PixelRect{0, 0, width, height};
    SetUpCairo(canvas.cairo);
    if (pixels != nullptr) canvas.figures = new FigureScratch;
    for (int style = 1; style <= 6; ++style) canvas.hatches[style] = MakeHatch(style);
    canvas.utf8.reserve(1024);
    canvas.corners.reserve(2 * 1024);
    RecomputeScale(canvas);
    return true;
}

void DestroyCanvas(Canvas& canvas) {
    KeepCanvasFrames(canvas, false);
    for (cairo_pattern_t*& hatch : canvas.hatches) {
        if (hatch != nullptr) cairo_pattern_destroy(hatch);
        hatch = nullptr;
    }
    if (canvas.cairo != nullptr) cairo_destroy(canvas.cairo);
    if (canvas.surface != nullptr) cairo_surface_destroy(canvas.surface);
    delete canvas.figures;
    UnmapPixels(canvas.pixels, PixelBytes(canvas.stride, canvas.height));
    canvas = Canvas{};
}

// -- State --

void SetCanvasColors(Canvas& canvas, Color foreground, Color background) {
    if (foreground != kUnchanged) canvas.foreground = foreground;
    if (background != kUnchanged) canvas.background = background;
}

void SetCanvasScale(Canvas& canvas, float x1, float y1, float x2, float y2) {
    canvas.scale_x1 = x1;
    canvas.scale_y1 = y1;
    canvas.scale_x2 = x2;
    canvas.scale_y2 = y2;
    canvas.scale_set = true;
    RecomputeScale(canvas);
}

void SetCanvasOption(Canvas& canvas, WindowOption option, bool on) {
    switch (option) {
        case WindowOption::Scroll: canvas.scroll = on; break;
        case WindowOption::Wrap: canvas.wrap = on; break;
        case WindowOption::Inclusive:
            canvas.inclusive = on;
            RecomputeScale(canvas);
            break;
    }
}

double DeviceX(const Canvas& canvas, double user_x) {
    return (user_x - canvas.origin_x) * canvas.scale_x;
}
double DeviceY(const Canvas& canvas, double user_y) {
    return (user_y - canvas.origin_y) * canvas.scale_y;
}
double UserX(const Canvas& canvas, double device_x) {
    return device_x / canvas.scale_x + canvas.origin_x;
}
double UserY(const Canvas& canvas, double device_y) {
    return device_y / canvas.scale_y + canvas.origin_y;
}

Color ResolvedForeground(const Canvas& canvas) {
    return canvas.foreground < 0 ? kWindowTextColor : (canvas.foreground & 0xFFFFFF);
}

Color ResolvedBackground(const Canvas& canvas) {
    return canvas.background < 0 ? kWindowFaceColor : (canvas.background & 0xFFFFFF);
}

// -- Figures --
// Each operation is resolved here to device pixels and plain colours, then
// painted (or recorded) by the canvas's one painter below.

void ClearCanvas(Canvas& canvas) {
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Clear);
    op.outline = ResolvedBackground(canvas);
    DrawCanvasOp(canvas, op, nullptr, nullptr, nullptr);
    canvas.position_x = 0;
    canvas.position_y = 0;
}

void CanvasLineTo(Canvas& canvas, float x, float y, Color color) {
    double to_x = DeviceX(canvas, x), to_y = DeviceY(canvas, y);
    if (PenDraws(canvas)) {
        CanvasOp op = BlankCanvasOp(CanvasOpKind::Line);
        op.a = PixelCentre(canvas.position_x);
        op.b = PixelCentre(canvas.position_y);
        op.c = PixelCentre(to_x);
        op.d = PixelCentre(to_y);
        op.outline = color < 0 ? ResolvedForeground(canvas) : (color & 0xFFFFFF);
        DrawCanvasOp(canvas, op, nullptr, nullptr, nullptr);
    }
    canvas.position_x = to_x;
    canvas.position_y = to_y;
}

void CanvasSetPixel(Canvas& canvas, float x, float y, Color color) {
    double column = Snap(DeviceX(canvas, x)), row = Snap(DeviceY(canvas, y));
    if (column < 0 || row < 0 || column >= canvas.width || row >= canvas.height) return;
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Pixel);
    op.a = column;
    op.b = row;
    op.outline = color < 0 ? ResolvedForeground(canvas) : (color & 0xFFFFFF);
    DrawCanvasOp(canvas, op, nullptr, nullptr, nullptr);
}

void CanvasBox(Canvas& canvas, float x1, float y1, float x2, float y2, std::int32_t corner_percent,
               Color outline, Color fill, FillStyle style) {
    style = CheckedStyle(style);
    FigureColors colors = ResolveFigure(canvas, outline, fill);
    if (!colors.filled && !colors.outlined) return;
    double left = PixelCentre(DeviceX(canvas, x1)), right = PixelCentre(DeviceX(canvas, x2));
    double top = PixelCentre(DeviceY(canvas, y1)), bottom = PixelCentre(DeviceY(canvas, y2));
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Box);
    SetFigure(op, colors, style);
    op.corner = corner_percent;
    op.a = left;
    op.b = top;
    op.c = right;
    op.d = bottom;
    DrawCanvasOp(canvas, op, nullptr, nullptr, nullptr);
}

void CanvasDiscs(Canvas& canvas, const PointF* centres, int count, float radius, Color color) {
    if (centres == nullptr || count <= 0 || radius < 0) return;
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Discs);
    op.outline = color < 0 ? ResolvedForeground(canvas) : (color & 0xFFFFFF);
    // The radii of a disc at the origin choose how all of them are painted.
    DeviceDisc first = DiscAround(canvas, 0, 0, radius);
    op.a = first.radius_x;
    op.b = first.radius_y;
    op.count = count;
    std::vector<double>& discs = canvas.corners;
    discs.clear();
    for (int i = 0; i < count; ++i) {
        DeviceDisc disc = DiscAround(canvas, centres[i].x, centres[i].y, radius);
        discs.insert(discs.end(), {disc.centre_x, disc.centre_y, disc.radius_x, disc.radius_y});
    }
    DrawCanvasOp(canvas, op, discs.data(), nullptr, nullptr);
}

// Diamonds sit on whole pixels with whole-pixel radii, so that all of a batch
// share one outline, as the discs of a batch share their few shapes.
void CanvasDiamonds(Canvas& canvas, const PointF* centres, int count, float radius, Color color) {
    if (centres == nullptr || count <= 0 || !(radius >= 0)) return;
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Diamonds);
    op.outline = color < 0 ? ResolvedForeground(canvas) : (color & 0xFFFFFF);
    op.a = std::min<double>(Snap(radius * std::fabs(canvas.scale_x)), kFarCoordinate);
    op.b = std::min<double>(Snap(radius * std::fabs(canvas.scale_y)), kFarCoordinate);
    std::vector<double>& diamonds = canvas.corners;
    diamonds.clear();
    for (int i = 0; i < count; ++i) {
        double column = Snap(DeviceX(canvas, centres[i].x)), row = Snap(DeviceY(canvas, centres[i].y));
        // One wholly outside the picture shows nothing (nor does one at no place at all).
        if (!(column + op.a >= 0 && row + op.b >= 0 && column - op.a < canvas.width && row - op.b < canvas.height))
            continue;
        diamonds.insert(diamonds.end(), {column, row});
    }
    op.count = static_cast<std::int32_t>(diamonds.size() / 2);
    if (op.count > 0) DrawCanvasOp(canvas, op, diamonds.data(), nullptr, nullptr);
}

// Corners exact, as a polygon's.
void CanvasPolyline(Canvas& canvas, const PointF* points, int count, Color color) {
    if (points == nullptr || count < 2 || !PenDraws(canvas)) return;
    std::vector<double>& corners = canvas.corners;
    corners.clear();
    for (int i = 0; i < count; ++i)
        corners.insert(corners.end(), {DeviceX(canvas, points[i].x), DeviceY(canvas, points[i].y)});
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Polyline);
    op.outline = color < 0 ? ResolvedForeground(canvas) : (color & 0xFFFFFF);
    op.count = count;
    DrawCanvasOp(canvas, op, corners.data(), nullptr, nullptr);
}

// Fill and outline follow the exact corners; the outline's pixels are those
// nearest to each edge. Sections of one wall meet along shared edges and at
// corners that lie on a neighbour's edge. Snapped to a pixel on its own, such
// a corner would leave the neighbour's edge by up to half a pixel and open
// single pixels between the two sections; unsnapped, every pixel along the
// seam falls into one of the fills or under one of the outlines.
void CanvasPolygon(Canvas& canvas, const PointF* points, int count, Color outline, Color fill, FillStyle style,
                   int fill_mode) {
    if (points == nullptr || count < 2 || count > 1024) return;
    style = CheckedStyle(style);
    FigureColors colors = ResolveFigure(canvas, outline, fill);
    if (!colors.filled && !colors.outlined) return;
    std::vector<double>& corners = canvas.corners;
    corners.clear();
    for (int i = 0; i < count; ++i) {
        corners.push_back(DeviceX(canvas, points[i].x));
        corners.push_back(DeviceY(canvas, points[i].y));
    }
    CanvasOp op = BlankCanvasOp(CanvasOpKind::Polygon);
    SetFigure(op, colors, style);
    op.even_odd = fill_mode != 0 ? 1 : 0;
    op.count = count;
    DrawCanvasOp(canvas, op, corners.data(), nullptr, nullptr);
}

void ScrollRecording(Canvas& canvas, int rows) {
    cairo_rectangle_t extents{0, 0, static_cast<double>(canvas.width), static_cast<double>(canvas.height)};
    cairo_surface_t* moved = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, &extents);
    cairo_t* cairo = cairo_create(moved);
    SetUpCairo(cairo);
    cairo_set_source_surface(cairo, canvas.surface, 0, -rows);
    cairo_paint(cairo);
    cairo_destroy(canvas.cairo);
    cairo_surface_destroy(canvas.surface);
    canvas.surface = moved;
    canvas.cairo = cairo;
}

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
        auto pixel = static_cast<std::uint32_t>(op.outline) | 0xFF000000u;
        cairo_surface_flush(canvas.surface);
        StampDiscs(canvas, discs, op.count, pixel);
        cairo_surface_mark_dirty(canvas.surface);
        return;
    }
    // Recorded or large discs: one path and one fill for all of them.
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
        StampDiamonds(canvas, centres, op.count, radius_x, radius_y,
                      static_cast<std::uint32_t>(op.outline) | 0xFF000000u);
        cairo_surface_mark_dirty(canvas.surface);
        return;
    }
    // Recorded or large diamonds: one path through their corner pixels' centres.
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
        StampPolyline(canvas, corners, op.count, op.pen_width, static_cast<std::uint32_t>(op.outline) | 0xFF000000u);
        cairo_surface_mark_dirty(canvas.surface);
        return;
    }
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
            SetSource(cairo, op.outline);
            cairo_paint(cairo);
            break;
        case CanvasOpKind::Line:
            if (op.pen_style == 0 && SetsPixels(canvas)) {
                DirectPixels direct(canvas);
                if (StrokeLinePixels(canvas, op.a, op.b, op.c, op.d, std::max(1, op.pen_width), op.outline)) break;
            }
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
