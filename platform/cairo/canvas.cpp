#include "platform/cairo/canvas.h"

#include "platform/cairo/canvas_ops.h"
#include "platform/cairo/canvas_paths.h"
#include "platform/cairo/canvas_pixels.h"
#include "platform/cairo/canvas_stamps.h"

#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

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

bool PenDraws(const Canvas& canvas) {
    return canvas.pen_style != 5;
}

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

// -- Pixel memory --
// The picture's pages are mapped and filled in at once, so that the first
// picture does not stall on thousands of page faults, one a page as it is
// first painted; fresh pages read as black. They are filled in a piece at a
// time: while the kernel fills them, no other thread can map memory (at start
// the window thread is making the window meanwhile).

std::size_t PixelBytes(int stride, int height) {
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

namespace {

void FillInPages(unsigned char* pixels, std::size_t bytes) {
    for (std::size_t done = 0; done < bytes; done += kHugePage) {
        const std::size_t piece = std::min(kHugePage, bytes - done);
#if defined(MADV_POPULATE_WRITE)
        if (madvise(pixels + done, piece, MADV_POPULATE_WRITE) == 0) continue;
#endif
        std::memset(pixels + done, 0, piece);
    }
}

}  // namespace

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
    FillInPages(pixels, bytes);
    return pixels;
}

void UnmapPixels(unsigned char* pixels, std::size_t bytes) {
    if (pixels != nullptr) munmap(pixels, bytes);
}

namespace {

// Pixels the display server can be given to read: a System V segment, marked
// for removal at once (this system lets the server attach it all the same),
// and filled in as private pixels are. Null where none can be had.
unsigned char* MapSharedPixels(std::size_t bytes, int& segment) {
    segment = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment < 0) return nullptr;
    void* attached = shmat(segment, nullptr, 0);
    shmctl(segment, IPC_RMID, nullptr);
    if (attached == reinterpret_cast<void*>(-1)) {
        segment = -1;
        return nullptr;
    }
    auto* pixels = static_cast<unsigned char*>(attached);
    FillInPages(pixels, bytes);
    return pixels;
}

void FreePixels(unsigned char* pixels, std::size_t bytes, int segment) {
    if (segment >= 0)
        shmdt(pixels);
    else
        UnmapPixels(pixels, bytes);
}

}  // namespace

// -- Life of a canvas --

bool CreateCanvas(Canvas& canvas, int width, int height, CanvasMemory memory) {
    DestroyCanvas(canvas);
    if (width <= 0 || height <= 0) return false;
    unsigned char* pixels = nullptr;
    int stride = 0;
    int segment = -1;
    std::size_t bytes = 0;
    cairo_surface_t* surface = nullptr;
    if (memory == CanvasMemory::Recording) {
        cairo_rectangle_t extents{0, 0, static_cast<double>(width), static_cast<double>(height)};
        surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, &extents);
    } else {
        stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
        bytes = PixelBytes(stride, height);
        if (memory == CanvasMemory::Shared) pixels = MapSharedPixels(bytes, segment);
        if (pixels == nullptr) pixels = MapPixels(bytes);
        if (pixels == nullptr) return false;
        surface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB24, width, height, stride);
    }
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        FreePixels(pixels, bytes, segment);
        return false;
    }
    canvas = Canvas{};
    canvas.pixels = pixels;
    canvas.shared_memory = segment;
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
    FreePixels(canvas.pixels, PixelBytes(canvas.stride, canvas.height), canvas.shared_memory);
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

}  // namespace platform
