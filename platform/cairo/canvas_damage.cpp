// How the painter decides each pixel, which the marks here follow (see PaintCanvasOp):
//  - a fill takes the pixels whose centre lies inside the exact corners (the
//    pixel (c, r) is the point (c, r) of the corners' coordinates), and
//    Cairo's scan converter also fills a gap of a single pixel between two
//    spans of a row;
//  - a thin outline takes, along an edge's longer extent, the pixel nearest
//    to each point of the exact edge;
//  - a wider pen strokes the edges between the snapped corners, with round joins;
//  - a line is stroked between snapped ends with round caps.
// Cairo rounds corners to 1/256 of a pixel; kSlack covers that and its stepping.

#include "platform/cairo/canvas_damage.h"

#include "platform/cairo/canvas_paths.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

constexpr double kSlack = 1.0 / 32;
// A stretch of an edge or line this long is covered by one box of its own.
constexpr double kChainStep = 8;

int FloorInt(double value) {
    const int truncated = static_cast<int>(value);
    return truncated - (value < truncated ? 1 : 0);
}

int CeilInt(double value) {
    const int truncated = static_cast<int>(value);
    return truncated + (value > truncated ? 1 : 0);
}

// Boxes along a segment, each over a short stretch of it, grown by reach.
void MarkChain(CellMarks& cells, double x0, double y0, double x1, double y1, double reach) {
    const double length = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    const int pieces = std::max(1, CeilInt(std::min(length, 1e6) / kChainStep));
    for (int piece = 0; piece < pieces; ++piece) {
        const double t0 = static_cast<double>(piece) / pieces, t1 = static_cast<double>(piece + 1) / pieces;
        const double ax = x0 + (x1 - x0) * t0, ay = y0 + (y1 - y0) * t0;
        const double bx = x0 + (x1 - x0) * t1, by = y0 + (y1 - y0) * t1;
        MarkBox(cells, PixelRect{FloorInt(std::min(ax, bx) - reach), FloorInt(std::min(ay, by) - reach),
                                 CeilInt(std::max(ax, bx) + reach) + 1, CeilInt(std::max(ay, by) + reach) + 1});
    }
}

bool Near(const double* corners, int count) {
    for (int i = 0; i < 2 * count; ++i)
        if (!(std::fabs(corners[i]) < kFarCoordinate)) return false;
    return true;
}

// The quadrilateral an edge swept (old edge, the paths of its ends, new
// edge), grown by the reach, band by band of cells: in each row of cells, the
// cells across the quadrilateral's width over that row's pixels, a row of
// pixels (point y) reaching y - reach_y to y + reach_y. A slanted edge marks
// the cells it passes through, not the boxes around stretches of it.
void MarkSweptEdge(CellMarks& cells, const double* p0, const double* p1, const double* q0, const double* q1,
                   double reach_x, double reach_y) {
    const double* corners[4] = {p0, p1, q1, q0};
    double top = p0[1], bottom = p0[1];
    for (const double* corner : corners) {
        top = std::min(top, corner[1]);
        bottom = std::max(bottom, corner[1]);
    }
    // Pixel (c, r) stands for the point (c, r): the rows from the ceiling of
    // the low side to the floor of the high side.
    const int first_row = std::max(CeilInt(std::max(top - reach_y, -1e6)), 0);
    const int last_row = std::min(FloorInt(std::min(bottom + reach_y, 1e6)), cells.height - 1);
    const int cell = 1 << cells.shift;
    // Each side's run in x for a unit of y, worked out once for all its bands.
    double x_per_y[4];
    for (int k = 0; k < 4; ++k) {
        const double* a = corners[k];
        const double* b = corners[(k + 1) % 4];
        x_per_y[k] = b[1] != a[1] ? (b[0] - a[0]) / (b[1] - a[1]) : 0.0;
    }
    for (int band_top = first_row; band_top <= last_row;) {
        const int band_bottom = std::min(((band_top >> cells.shift) + 1) * cell - 1, last_row);
        const double low = band_top - reach_y, high = band_bottom + reach_y;
        double left = 1e300, right = -1e300;
        for (int k = 0; k < 4; ++k) {
            const double* a = corners[k];
            const double* b = corners[(k + 1) % 4];
            if ((a[1] < low && b[1] < low) || (a[1] > high && b[1] > high)) continue;
            // The side's x where it enters and leaves the band.
            const double a_y = std::clamp(a[1], low, high), b_y = std::clamp(b[1], low, high);
            const double a_x = b[1] != a[1] ? a[0] + (a_y - a[1]) * x_per_y[k] : a[0];
            const double b_x = b[1] != a[1] ? a[0] + (b_y - a[1]) * x_per_y[k] : b[0];
            left = std::min({left, a_x, b_x});
            right = std::max({right, a_x, b_x});
        }
        if (left <= right) {
            const int first_column = std::max(CeilInt(std::max(left - reach_x, -1e6)), 0);
            const int last_column = std::min(FloorInt(std::min(right + reach_x, 1e6)), cells.width - 1);
            const std::int32_t row_start = (band_top >> cells.shift) * cells.columns;
            for (int column = first_column >> cells.shift; column <= last_column >> cells.shift; ++column)
                MarkCell(cells, row_start + column);
        }
        band_top = band_bottom + 1;
    }
}

// The first marked column of a band's line at or after `column`, or `columns`
// when none. Most of a line is unmarked: it is skipped eight columns at a time.
int NextMarked(const std::uint8_t* line, int column, int columns) {
    for (; column + 8 <= columns; column += 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, line + column, sizeof eight);
        if (eight != 0) break;
    }
    while (column < columns && line[column] == 0) ++column;
    return column;
}

}  // namespace

// -- The grid --

void InitCellMarks(CellMarks& cells, int shift, int width, int height) {
    cells.shift = shift;
    cells.width = width;
    cells.height = height;
    cells.columns = (width + (1 << shift) - 1) >> shift;
    cells.rows = (height + (1 << shift) - 1) >> shift;
    const std::size_t count = static_cast<std::size_t>(cells.columns) * cells.rows;
    cells.marks.assign(count, 0);
    cells.blocks.assign(count, 0);
    cells.marked.clear();
    cells.marked.reserve(count);
    cells.rects.clear();
    // A band's runs are gathered before they are counted against the limit.
    cells.rects.reserve(kMaxChangedRegions + static_cast<std::size_t>(cells.columns));
    cells.everything = false;
}

void ClearCellMarks(CellMarks& cells) {
    if (cells.marked.size() * 8 > cells.marks.size()) {
        std::fill(cells.marks.begin(), cells.marks.end(), 0);
    } else {
        for (std::int32_t cell : cells.marked) cells.marks[static_cast<std::size_t>(cell)] = 0;
    }
    cells.marked.clear();
    cells.rects.clear();
    cells.everything = false;
}

void MarkCell(CellMarks& cells, std::int32_t cell) {
    std::uint8_t& mark = cells.marks[static_cast<std::size_t>(cell)];
    if (mark != 0) return;
    mark = 1;
    cells.marked.push_back(cell);
}

void MarkBox(CellMarks& cells, const PixelRect& box) {
    if (cells.everything) return;
    const int left = std::max(box.left, 0), top = std::max(box.top, 0);
    const int right = std::min(box.right, cells.width), bottom = std::min(box.bottom, cells.height);
    if (right <= left || bottom <= top) return;
    const int last_row = (bottom - 1) >> cells.shift, last_column = (right - 1) >> cells.shift;
    for (int row = top >> cells.shift; row <= last_row; ++row)
        for (int column = left >> cells.shift; column <= last_column; ++column)
            MarkCell(cells, row * cells.columns + column);
}

double MarkedShare(const CellMarks& cells) {
    if (cells.everything) return 1.0;
    return static_cast<double>(cells.marked.size()) / std::max<std::size_t>(1, cells.marks.size());
}

bool GatherCells(CellMarks& cells, int max_rects) {
    cells.rects.clear();
    if (cells.everything) return false;
    const auto limit = static_cast<std::size_t>(std::min(max_rects, kMaxChangedRegions));
    const int cell = 1 << cells.shift;
    // Only the rows between the first and the last marked one are looked at:
    // a caret's blink marks a few cells of a picture of a hundred thousand.
    int first_row = cells.rows, last_row = -1;
    for (std::int32_t marked : cells.marked) {
        first_row = std::min(first_row, marked / cells.columns);
        last_row = std::max(last_row, marked / cells.columns);
    }
    if (last_row < 0) return true;
    // Bands of 1, 2, 4, ... rows of cells; in a band, marked columns less than
    // `gap` apart join one run. A seam along an edge stays as narrow as its
    // cells in the band, whatever the edge's slope.
    for (int level = 0;; ++level) {
        const int band_rows = 1 << level;
        const int gap = level == 0 ? 1 : (1 << (level - 1)) + 1;
        const int first_band = first_row >> level, end_band = (last_row >> level) + 1;
        // Bands of one row of cells are the marks themselves.
        const std::uint8_t* grid = level == 0 ? cells.marks.data() : cells.blocks.data();
        if (level > 0) {
            std::fill(cells.blocks.begin() + static_cast<std::ptrdiff_t>(first_band) * cells.columns,
                      cells.blocks.begin() + static_cast<std::ptrdiff_t>(end_band) * cells.columns, 0);
            for (std::int32_t marked : cells.marked)
                cells.blocks[static_cast<std::size_t>((marked / cells.columns) >> level) * cells.columns +
                             marked % cells.columns] = 1;
        }
        cells.rects.clear();
        bool fits = true;
        // The band whose runs the last rects are, and where they begin: a
        // band with the same runs only makes them reach further down.
        int last_band = first_band - 2;
        std::size_t band_start = 0;
        for (int band = first_band; band < end_band && fits; ++band) {
            const std::uint8_t* line = grid + static_cast<std::size_t>(band) * cells.columns;
            const int top = (band << level) * cell, bottom = std::min(((band + 1) << level) * cell, cells.height);
            const std::size_t start = cells.rects.size();
            for (int column = NextMarked(line, 0, cells.columns); column < cells.columns;
                 column = NextMarked(line, column, cells.columns)) {
                int end = column + 1;  // one past the last marked column of the run
                for (int next = end; next < cells.columns && next < end + gap; ++next)
                    if (line[next] != 0) end = next + 1;
                cells.rects.push_back(PixelRect{column * cell, top, std::min(end * cell, cells.width), bottom});
                column = end;
            }
            const std::size_t runs = cells.rects.size() - start;
            if (runs == 0) continue;
            if (last_band == band - 1 && runs == start - band_start &&
                std::equal(cells.rects.begin() + static_cast<std::ptrdiff_t>(start), cells.rects.end(),
                           cells.rects.begin() + static_cast<std::ptrdiff_t>(band_start),
                           [](const PixelRect& a, const PixelRect& b) { return a.left == b.left && a.right == b.right; })) {
                cells.rects.resize(start);
                for (std::size_t i = band_start; i < start; ++i) cells.rects[i].bottom = bottom;
            } else {
                band_start = start;
            }
            last_band = band;
            fits = cells.rects.size() <= limit;
        }
        if (fits) return true;
        if (band_rows >= cells.rows && gap > cells.columns) break;
    }
    cells.rects.clear();
    cells.everything = true;
    return false;
}

// -- What moved --

bool MarkMovedPolygon(CellMarks& cells, const CanvasOp& op, const double* before, const double* now) {
    if (!Near(before, op.count) || !Near(now, op.count)) return false;
    const bool wide = op.outlined != 0 && op.pen_width > 1;
    // A fill's pixel turns only where its centre lies in what an edge swept,
    // its neighbour in the row with it; a thin outline's pixel lies within
    // half a pixel of its edge.
    const bool exact_edges = op.filled != 0 || !wide;
    // A wide pen strokes between the pixels the corners fall on, so it turns
    // only where one of those moved: a letter drifting by a fraction of a
    // pixel leaves most of its outline as it was. Round joins reach half the
    // pen beyond a corner, a span's run over a gap a pixel more.
    const double pen_reach = std::max(1, op.pen_width) / 2.0 + 1.5;
    for (int i = 0; i < op.count; ++i) {
        const int j = (i + 1) % op.count;
        const double* p0 = before + 2 * i;
        const double* p1 = before + 2 * j;
        const double* q0 = now + 2 * i;
        const double* q1 = now + 2 * j;
        if (p0[0] == q0[0] && p0[1] == q0[1] && p1[0] == q1[0] && p1[1] == q1[1]) continue;
        if (exact_edges) MarkSweptEdge(cells, p0, p1, q0, q1, 1 + kSlack, 0.5 + kSlack);
        if (!wide) continue;
        const double snapped[4][2] = {{Snap(p0[0]), Snap(p0[1])},
                                      {Snap(p1[0]), Snap(p1[1])},
                                      {Snap(q0[0]), Snap(q0[1])},
                                      {Snap(q1[0]), Snap(q1[1])}};
        if (std::memcmp(snapped[0], snapped[2], sizeof snapped[0]) == 0 &&
            std::memcmp(snapped[1], snapped[3], sizeof snapped[1]) == 0)
            continue;
        MarkSweptEdge(cells, snapped[0], snapped[1], snapped[2], snapped[3], pen_reach, pen_reach);
    }
    return true;
}

void MarkMovedLine(CellMarks& cells, const CanvasOp& before, const CanvasOp& now) {
    for (const CanvasOp* line : {&before, &now}) {
        // Round caps reach half the pen beyond the ends; Cairo's rounding one pixel more.
        const double reach = std::max(1, line->pen_width) / 2.0 + 2;
        if (!(std::fabs(line->a) < kFarCoordinate && std::fabs(line->b) < kFarCoordinate &&
              std::fabs(line->c) < kFarCoordinate && std::fabs(line->d) < kFarCoordinate)) {
            MarkBox(cells, line->box);
            continue;
        }
        MarkChain(cells, line->a, line->b, line->c, line->d, reach);
    }
}

}  // namespace platform
