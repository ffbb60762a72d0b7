#pragma once
// Figures set straight into the canvas's pixels, without Cairo's path
// machinery: the play picture is redrawn sixty times a second, and a path fill
// or stroke allocates every time it runs. Each routine sets the pixels Cairo's
// unantialiased fill sets (a pixel when its centre lies inside), writes only
// inside canvas.clip and needs a canvas with pixels; the caller flushes the
// surface before and marks it dirty after. Those that return false have left
// the figure alone, and the caller draws it with Cairo. Internal to platform/.

#include "platform/cairo/canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace platform {

// Picture memory, mapped once per picture and ready to be written: the bytes
// of a picture of this stride and height, rounded up to whole huge pages, and
// their mapping, zeroed (black).
constexpr std::size_t kHugePage = std::size_t{2} << 20;
std::size_t PixelBytes(int stride, int height);
unsigned char* MapPixels(std::size_t bytes);
void UnmapPixels(unsigned char* pixels, std::size_t bytes);

// The canvas's 32-bit pixel for a colour.
inline std::uint32_t OpaquePixel(Color color) {
    return static_cast<std::uint32_t>(color & 0xFFFFFF) | 0xFF000000u;
}

// Hatch patterns repeat every kHatchSize pixels, anchored at the canvas's corner.
constexpr int kHatchSize = 8;
// Whether a hatch style (1..6) sets the pixel at this column and row.
bool HatchCovers(int style, int column, int row);

// The nearest whole number, halves to even, as std::nearbyint gives it in the
// default rounding mode, which the canvas never leaves: figures round every
// corner and outline pixel so, and the library call costs more than the rest.
inline double RoundHalfEven(double value) {
    // Added to 1.5 x 2^52, a double keeps no fraction: the sum is rounded so.
    constexpr double kNoFraction = 6755399441055744.0;
    if (!(std::fabs(value) < 1e15)) return std::nearbyint(value);
    return (value + kNoFraction) - kNoFraction;
}

// -- Fixed point --
// Cairo's own reading of a coordinate: a whole number of 256ths of a pixel,
// the nearest one (halves to even). Coordinates beyond kFarCorner pixels are
// left to Cairo, which keeps the whole numbers here far from overflowing.
constexpr std::int64_t kFixedOne = 256;
constexpr double kFarCorner = 1 << 20;
inline std::int64_t ToFixed(double value) {
    return static_cast<std::int64_t>(RoundHalfEven(value * kFixedOne));
}
struct FixedPoint {
    std::int64_t x = 0, y = 0;
};

// -- Where a repaint writes --
// Calls set(first, end) for each part of the pixel columns [first, end) of a
// row (inside clip) that is looked at: the whole of it, or while changed
// cells are repainted, its parts inside marked cells.
template <typename Set>
inline void ForWritableParts(const Canvas& canvas, int row, int first, int end, Set&& set) {
    const MarkedCellRuns* marked = canvas.marked;
    if (marked == nullptr) {
        set(first, end);
        return;
    }
    const int cell_row = row >> marked->shift;
    const CellRun* run = marked->runs + marked->row_first[cell_row];
    const CellRun* stop = marked->runs + marked->row_first[cell_row + 1];
    for (; run < stop && run->left < end; ++run)
        if (run->right > first) set(run->left > first ? run->left : first, run->right < end ? run->right : end);
}

// Whether a pixel row lies in a row of cells with no marked cell while
// changed cells are repainted: nothing set there is ever looked at.
inline bool UnmarkedRow(const Canvas& canvas, int row) {
    const MarkedCellRuns* marked = canvas.marked;
    if (marked == nullptr) return false;
    const int cell_row = row >> marked->shift;
    return marked->row_first[cell_row] == marked->row_first[cell_row + 1];
}

// Whether the pixels [left, right) x [top, bottom) touch a marked cell while
// changed cells are repainted (always true otherwise).
inline bool ReachesMarkedCells(const Canvas& canvas, int left, int top, int right, int bottom) {
    const MarkedCellRuns* marked = canvas.marked;
    if (marked == nullptr) return true;
    const int first_row = std::max(top, canvas.clip.top) >> marked->shift;
    const int last_row = (std::min(bottom, canvas.clip.bottom) - 1) >> marked->shift;
    for (int cell_row = first_row; cell_row <= last_row; ++cell_row) {
        const CellRun* run = marked->runs + marked->row_first[cell_row];
        const CellRun* stop = marked->runs + marked->row_first[cell_row + 1];
        for (; run < stop && run->left < right; ++run)
            if (run->right > left) return true;
    }
    return false;
}

// -- Filled areas (canvas_fill.cpp) --
// Sets the pixels [at, end) of a row eight a step, which the compiler turns
// into wide stores: as fast as Cairo's own fill, where a plain loop is a third
// slower on large figures. A run of eight or more ends with eight stores that
// overlap the step before, so no pixel is left to a slow tail.
inline void SetPixelRun(std::uint32_t* at, std::uint32_t* end, std::uint32_t pixel) {
    if (end - at < 8) {
        for (; at < end; ++at) *at = pixel;
        return;
    }
    for (; end - at > 8; at += 8)
        for (int k = 0; k < 8; ++k) at[k] = pixel;
    for (int k = 0; k < 8; ++k) end[k - 8] = pixel;
}

void FillRectPixels(Canvas& canvas, PixelRect rect, Color color);

// -- Scratch --
// One edge of a figure in fixed point, running downwards.
struct FixedEdge {
    std::int64_t top_x = 0, top_y = 0, dx = 0, dy = 0;
    int direction = 0;  // +1 where the outline runs down, -1 where it runs up
    // While the edge is filled, its place in the current row as a whole
    // quotient and remainder of dy, and what one row down adds to each.
    std::int64_t place = 0, remainder = 0, place_step = 0, remainder_step = 0;
};

// Where an edge meets a row: its place in 256ths of a pixel, rounded down,
// shifted up past the crossing's number in the row, which finds its
// direction. One whole number sorts by place and, at one place, in the order
// the edges were met, and moves in a single load and store.
constexpr int kCrossingNumberBits = 12;

// The edges of the figure being filled and the outlines it is built from:
// made with a canvas that has pixels, reused by every figure, so that no
// figure allocates. Enough for a polygon of the most corners the canvas takes
// outlined by the widest pen the game uses.
constexpr int kMaxFigureEdges = 4096;
constexpr int kMaxFixedCorners = 1024;
static_assert(kMaxFigureEdges <= 1 << kCrossingNumberBits);
struct FigureScratch {
    std::array<FixedEdge, kMaxFigureEdges> edges;
    int edge_count = 0;
    bool overflow = false;  // more edges than fit: the figure is left to Cairo
    std::array<int, kMaxFigureEdges> active;
    std::array<std::int64_t, kMaxFigureEdges> crossings;
    std::array<int, kMaxFigureEdges> crossing_directions;
    std::array<FixedPoint, kMaxFixedCorners> path;  // a figure's outline in fixed point
    // A text's glyph masks added up where they meet (canvas_text_cache.cpp).
    std::array<std::uint8_t, 1 << 18> text_coverage;
};

// A figure is begun, given its closed outlines in Cairo's coordinates and
// filled as Cairo fills the path of all of them; false when it had too many
// edges (nothing is painted then).
void BeginFigure(FigureScratch& scratch);
void AddContour(FigureScratch& scratch, const FixedPoint* points, int count);
bool FillFigure(Canvas& canvas, FigureScratch& scratch, bool even_odd, Color color, int hatch_style);

// The polygon through exact corners given in the canvas's pixel indices:
// pixel (column, row) is set when the point (column, row) lies inside, by the
// even-odd or the winding rule; hatch style 0 fills solid. False for corners
// far outside the canvas.
bool FillPolygonPixels(Canvas& canvas, const double* corners, int count, bool even_odd, Color color,
                       int hatch_style);

// -- Pens (canvas_pen.cpp) --
// A round-capped line of the given width between two points in Cairo's
// coordinates (pixel centres at halves); false for points far outside.
bool StrokeLinePixels(Canvas& canvas, double x0, double y0, double x1, double y1, int width, Color color);
// The closed outline with round joins through the centres of the pixels the
// given exact corners (pixel indices) fall on.
bool StrokeSnappedOutline(Canvas& canvas, const double* corners, int count, int width, Color color);
// A box from (left, top) to (right, bottom) in Cairo's coordinates with
// elliptic corners of the given radii (0: square), or the ellipse inside it,
// filled (solid or hatched) and/or outlined by a round pen of the given width;
// false for what it cannot draw.
struct RoundBoxPaint {
    double left = 0, top = 0, right = 0, bottom = 0;
    double radius_x = 0, radius_y = 0;
    bool ellipse = false;
    bool filled = false;
    Color fill = 0;
    int hatch_style = 0;
    bool outlined = false;
    Color outline = 0;
    int pen_width = 1;
};
bool PaintRoundBoxPixels(Canvas& canvas, const RoundBoxPaint& box);

}  // namespace platform
