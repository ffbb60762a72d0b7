// Filled areas set pixel by pixel. Cairo reads every coordinate as a fixed
// point number of 1/256 pixel and fills, without antialiasing, the pixels
// whose centres lie inside; the filler below reads the corners the same way
// and works in whole numbers from there, so that it sets the pixels Cairo
// sets, exact centres included.

#include "platform/cairo/canvas_pixels.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

constexpr std::int64_t kOne = kFixedOne;
constexpr std::int64_t kCentre = kOne / 2;  // a pixel's centre from its corner
// Cairo lets a span run on over a gap of one pixel to the next span of the row.
constexpr std::int64_t kJoinGap = 1;
// A solid span this long is set only inside the marked cells while changed cells are repainted.
constexpr int kLongSpan = 64;
// The most rows of a cell that two edges' spans are set together for.
constexpr int kMaxCellRows = 8;

// The largest whole number not above numerator / denominator (denominator > 0).
std::int64_t FloorDiv(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) --quotient;
    return quotient;
}

// The smallest whole number not below numerator / denominator (denominator > 0).
std::int64_t CeilDiv(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator > 0) ++quotient;
    return quotient;
}

// The first pixel whose centre counts as right of an edge's place in a row;
// the place is never below zero, where division floors.
std::int64_t PlaceColumn(std::int64_t place) {
    return (place + kCentre - 1) / kOne;
}

std::int64_t CrossingColumn(std::int64_t crossing) {
    return PlaceColumn(crossing >> kCrossingNumberBits);
}

// An edge's place carried down to the next row.
void StepDown(FixedEdge& edge) {
    // Whether the remainder carries follows the slope's fraction, which a
    // branch predicts badly: the carry is added as a number.
    edge.remainder += edge.remainder_step;
    const std::int64_t carry = edge.remainder >= edge.dy ? 1 : 0;
    edge.place += edge.place_step + carry;
    edge.remainder -= edge.dy & -carry;
}

std::uint32_t* Row(Canvas& canvas, int row) {
    return reinterpret_cast<std::uint32_t*>(canvas.pixels + static_cast<std::size_t>(row) * canvas.stride);
}

// The hatch's pixels of one row as bits, column 0 in bit 0.
std::uint8_t HatchRowBits(int style, int row) {
    std::uint8_t bits = 0;
    for (int column = 0; column < kHatchSize; ++column)
        if (HatchCovers(style, column, row & (kHatchSize - 1))) bits = static_cast<std::uint8_t>(bits | (1u << column));
    return bits;
}

// A hatched span sets only the columns its row's hatch covers, each every
// kHatchSize pixels.
void SetHatchedRun(std::uint32_t* line, int first, int end, std::uint32_t pixel, std::uint8_t hatch_bits) {
    for (int bit = 0; bit < kHatchSize; ++bit) {
        if (((hatch_bits >> bit) & 1u) == 0) continue;
        for (int column = first + ((bit - first) & (kHatchSize - 1)); column < end; column += kHatchSize)
            line[column] = pixel;
    }
}

// The pixels [first, end) of a row, cut to the marked cells while changed
// cells are repainted where that saves: always for a hatch, set pixel by
// pixel, and for a long solid span.
void FillSpan(const Canvas& canvas, int row, std::uint32_t* line, int first, int end, std::uint32_t pixel,
              std::uint8_t hatch_bits) {
    if (hatch_bits == 0xFF) {
        // Pixels between marked cells cost less to set than to step around,
        // but not a large letter's row, marked only where its edges moved.
        if (canvas.marked == nullptr || end - first < kLongSpan) {
            SetPixelRun(line + first, line + end, pixel);
            return;
        }
        ForWritableParts(canvas, row, first, end, [&](int from, int to) { SetPixelRun(line + from, line + to, pixel); });
        return;
    }
    ForWritableParts(canvas, row, first, end,
                     [&](int from, int to) { SetHatchedRun(line, from, to, pixel, hatch_bits); });
}

// Sets `count` pixels (1 to kLongSpan - 1) from `at`: four at a time,
// the last four ending at the span's end, so that overlapping stores cover
// it. A store loop that ends after as many steps as the span is wide costs
// a branch the processor guesses wrong on most rows of a slanted figure;
// here only the span's size class decides, which changes seldom.
void SetShortRun(std::uint32_t* at, int count, std::uint32_t pixel) {
    if (count < 4) {
        at[0] = pixel;
        at[(count - 1) / 2] = pixel;
        at[count - 1] = pixel;
        return;
    }
    const std::array<std::uint32_t, 4> four{pixel, pixel, pixel, pixel};
    const int last = count - 4;
    auto put = [&](int step) { std::memcpy(at + std::min(4 * step, last), four.data(), sizeof four); };
    put(0), put(1), put(2), put(3);
    if (count <= 16) return;
    put(4), put(5), put(6), put(7);
    if (count <= 32) return;
    for (int step = 8; step < kLongSpan / 4; ++step) put(step);
}

// The spans of consecutive rows within one row of cells.
struct CellRowSpans {
    int top = 0, count = 0;
    std::array<int, kMaxCellRows> froms{}, tos{};  // [from, to) of row top + i
};

// Sets the spans of a row of cells during a repaint of changed cells. Short
// ones are set whole: pixels between marked cells cost less to set than to
// step around. Longer ones are cut to the marked cells they reach, looked up
// once for all the rows.
void FillCellRowSpans(Canvas& canvas, const CellRowSpans& spans, std::uint32_t pixel) {
    int left = INT_MAX, right = INT_MIN;
    for (int i = 0; i < spans.count; ++i) {
        if (spans.froms[static_cast<std::size_t>(i)] >= spans.tos[static_cast<std::size_t>(i)]) continue;
        left = std::min(left, spans.froms[static_cast<std::size_t>(i)]);
        right = std::max(right, spans.tos[static_cast<std::size_t>(i)]);
    }
    if (left >= right) return;
    if (right - left < kLongSpan) {
        if (UnmarkedRow(canvas, spans.top)) return;
        for (int i = 0; i < spans.count; ++i) {
            const int from = spans.froms[static_cast<std::size_t>(i)], to = spans.tos[static_cast<std::size_t>(i)];
            if (from < to) SetShortRun(Row(canvas, spans.top + i) + from, to - from, pixel);
        }
        return;
    }
    ForWritableParts(canvas, spans.top, left, right, [&](int part_from, int part_to) {
        for (int i = 0; i < spans.count; ++i) {
            const int from = std::max(part_from, spans.froms[static_cast<std::size_t>(i)]);
            const int to = std::min(part_to, spans.tos[static_cast<std::size_t>(i)]);
            if (from < to) SetPixelRun(Row(canvas, spans.top + i) + from, Row(canvas, spans.top + i) + to, pixel);
        }
    });
}

}  // namespace

bool HatchCovers(int style, int column, int row) {
    const bool horizontal = row == 0;
    const bool vertical = column == 0;
    const bool forward = column == row;                    // down to the right
    const bool backward = column + row == kHatchSize - 1;  // up to the right
    switch (style) {
        case 1: return horizontal;
        case 2: return vertical;
        case 3: return forward;
        case 4: return backward;
        case 5: return horizontal || vertical;
        case 6: return forward || backward;
        default: return false;
    }
}

void FillRectPixels(Canvas& canvas, PixelRect rect, Color color) {
    const PixelRect& clip = canvas.clip;
    rect.left = std::max(rect.left, clip.left);
    rect.top = std::max(rect.top, clip.top);
    rect.right = std::min(rect.right, clip.right);
    rect.bottom = std::min(rect.bottom, clip.bottom);
    if (rect.left >= rect.right) return;
    const std::uint32_t pixel = OpaquePixel(color);
    for (int row = rect.top; row < rect.bottom; ++row) {
        std::uint32_t* line = Row(canvas, row);
        SetPixelRun(line + rect.left, line + rect.right, pixel);
    }
}

void BeginFigure(FigureScratch& scratch) {
    scratch.edge_count = 0;
    scratch.overflow = false;
}

void AddContour(FigureScratch& scratch, const FixedPoint* points, int count) {
    for (int i = 0; i < count; ++i) {
        FixedPoint from = points[i], to = points[(i + 1) % count];
        if (from.y == to.y) continue;  // a level edge crosses no row's centre line
        if (scratch.edge_count == kMaxFigureEdges) {
            scratch.overflow = true;
            return;
        }
        FixedEdge& edge = scratch.edges[static_cast<std::size_t>(scratch.edge_count++)];
        edge.direction = to.y > from.y ? 1 : -1;
        if (to.y < from.y) std::swap(from, to);
        edge.top_x = from.x;
        edge.top_y = from.y;
        edge.dx = to.x - from.x;
        edge.dy = to.y - from.y;
    }
}

bool FillFigure(Canvas& canvas, FigureScratch& scratch, bool even_odd, Color color, int hatch_style) {
    if (canvas.pixels == nullptr || scratch.overflow) return false;
    const int edge_count = scratch.edge_count;
    if (edge_count == 0) return true;
    FixedEdge* edges = scratch.edges.data();
    // Edges by their tops, so that each row looks only at those it crosses.
    std::sort(edges, edges + edge_count, [](const FixedEdge& a, const FixedEdge& b) { return a.top_y < b.top_y; });
    // Cairo paints a figure only within its bounds rounded out to whole pixels.
    std::int64_t high = INT64_MIN, left = INT64_MAX, right = INT64_MIN;
    for (int e = 0; e < edge_count; ++e) {
        const FixedEdge& edge = edges[e];
        high = std::max(high, edge.top_y + edge.dy);
        left = std::min({left, edge.top_x, edge.top_x + edge.dx});
        right = std::max({right, edge.top_x, edge.top_x + edge.dx});
    }
    const std::int64_t first_column = std::max<std::int64_t>(FloorDiv(left, kOne), canvas.clip.left);
    const std::int64_t end_column = std::min<std::int64_t>(CeilDiv(right, kOne), canvas.clip.right);

    // An edge crosses the rows whose centre line lies in [top, bottom).
    const std::int64_t low = edges[0].top_y;
    const auto first_row =
        static_cast<int>(std::max<std::int64_t>(CeilDiv(low - kCentre, kOne), canvas.clip.top));
    const auto last_row =
        static_cast<int>(std::min<std::int64_t>(CeilDiv(high - kCentre, kOne) - 1, canvas.clip.bottom - 1));
    const std::uint32_t pixel = OpaquePixel(color);
    const std::int64_t canvas_right = canvas.width * kOne;
    int* active = scratch.active.data();
    std::int64_t* crossings = scratch.crossings.data();
    int* directions = scratch.crossing_directions.data();
    int active_count = 0;
    int next_edge = 0;
    // Edges that end above the first row painted never join.
    const std::int64_t first_centre = static_cast<std::int64_t>(first_row) * kOne + kCentre;
    for (int row = first_row; row <= last_row;) {
        const std::int64_t centre_y = row * kOne + kCentre;
        // Cairo takes an edge's place in a row a 256th above the centre line
        // and rounds it to the nearest pixel boundary, down at the half; an
        // edge that begins on the centre line is followed back beyond its
        // top, and only the figure's own bounds stop what that reaches.
        const std::int64_t place_y = centre_y - 1;
        while (next_edge < edge_count && edges[next_edge].top_y <= centre_y) {
            FixedEdge& edge = edges[next_edge];
            if (edge.top_y + edge.dy > first_centre) {
                active[active_count++] = next_edge;
                // The place is divided out once here and then carried down row
                // by row, quotient and remainder, to the same whole numbers.
                const std::int64_t numerator = edge.top_x * edge.dy + (place_y - edge.top_y) * edge.dx;
                edge.place = FloorDiv(numerator, edge.dy);
                edge.remainder = numerator - edge.place * edge.dy;
                edge.place_step = FloorDiv(kOne * edge.dx, edge.dy);
                edge.remainder_step = kOne * edge.dx - edge.place_step * edge.dy;
            }
            ++next_edge;
        }
        // The rows down to the next change of the edges crossed: one joins
        // (it crosses from the first row whose centre line reaches its top),
        // or one ends (no row from the one whose centre line reaches its bottom).
        int kept = 0;
        int change = last_row + 1;
        if (next_edge < edge_count)
            change = std::min<std::int64_t>(change, CeilDiv(edges[next_edge].top_y - kCentre, kOne));
        for (int a = 0; a < active_count; ++a) {
            const FixedEdge& edge = edges[active[a]];
            if (centre_y >= edge.top_y + edge.dy) continue;
            active[kept++] = active[a];
            change = static_cast<int>(std::min<std::int64_t>(change, CeilDiv(edge.top_y + edge.dy - kCentre, kOne)));
        }
        active_count = kept;
        // Most rows of most figures cross the outline twice, down and up: one
        // span a row, between two edges that stay the same for many rows.
        if (active_count == 2 && hatch_style == 0 &&
            edges[active[0]].direction + edges[active[1]].direction == 0) {
            // Stepped as copies, which stay in registers: the span's writes
            // could otherwise reach the edges, and every row would reload them.
            FixedEdge one = edges[active[0]];
            FixedEdge other = edges[active[1]];
            // The row's span between them, stepping both down.
            auto next_span = [&](int& from, int& to) {
                // Cairo cuts the outline at the canvas's sides before it fills:
                // what lies beyond runs along the side.
                const std::int64_t place_one = std::clamp<std::int64_t>(one.place, 0, canvas_right);
                const std::int64_t place_other = std::clamp<std::int64_t>(other.place, 0, canvas_right);
                from = static_cast<int>(std::max(PlaceColumn(std::min(place_one, place_other)), first_column));
                to = static_cast<int>(std::min(PlaceColumn(std::max(place_one, place_other)), end_column));
                StepDown(one);
                StepDown(other);
            };
            if (canvas.marked == nullptr || (1 << canvas.marked->shift) > kMaxCellRows) {
                for (; row < change; ++row) {
                    int from = 0, to = 0;
                    next_span(from, to);
                    if (from < to) FillSpan(canvas, row, Row(canvas, row), from, to, pixel, 0xFF);
                }
            } else {
                // While changed cells are repainted, the rows of one row of
                // cells are set together: their marked cells are looked up once.
                while (row < change) {
                    const int cell_end = std::min(change, ((row >> canvas.marked->shift) + 1) << canvas.marked->shift);
                    CellRowSpans spans;
                    spans.top = row;
                    for (; row < cell_end; ++row) {
                        const auto i = static_cast<std::size_t>(spans.count++);
                        next_span(spans.froms[i], spans.tos[i]);
                    }
                    FillCellRowSpans(canvas, spans, pixel);
                }
            }
            edges[active[0]] = one;
            edges[active[1]] = other;
            continue;
        }
        // Otherwise each row's crossings are sorted and walked, down to the next change.
        for (; row < change; ++row) {
            const std::uint8_t hatch_bits = hatch_style == 0 ? 0xFF : HatchRowBits(hatch_style, row);
            // A row nothing is set in only carries the edges down: a letter's
            // outline is marked where its corners moved, mostly a few rows.
            if (hatch_bits == 0 || UnmarkedRow(canvas, row)) {
                for (int a = 0; a < active_count; ++a) StepDown(edges[active[a]]);
                continue;
            }
            int crossing_count = 0;
            for (int a = 0; a < active_count; ++a) {
                FixedEdge& edge = edges[active[a]];
                const std::int64_t place = std::clamp<std::int64_t>(edge.place, 0, canvas_right);
                directions[crossing_count] = edge.direction;
                crossings[crossing_count] = place << kCrossingNumberBits | crossing_count;
                ++crossing_count;
                StepDown(edge);
            }
            // Few crossings a row, mostly in order from the row before: an insertion sort.
            for (int i = 1; i < crossing_count; ++i) {
                const std::int64_t moving = crossings[i];
                int k = i;
                for (; k > 0 && crossings[k - 1] > moving; --k) crossings[k] = crossings[k - 1];
                crossings[k] = moving;
            }
            std::uint32_t* line = Row(canvas, row);
            int winding = 0;
            std::int64_t start = 0;
            bool open = false;
            for (int i = 0; i < crossing_count; ++i) {
                winding += directions[crossings[i] & ((1 << kCrossingNumberBits) - 1)];
                const std::int64_t column = CrossingColumn(crossings[i]);
                const bool inside = even_odd ? (winding & 1) != 0 : winding != 0;
                if (inside) {
                    if (!open) start = column;
                    open = true;
                    continue;
                }
                if (!open) continue;
                if (i + 1 < crossing_count && CrossingColumn(crossings[i + 1]) <= column + kJoinGap) continue;
                open = false;
                const std::int64_t from = std::max(start, first_column);
                const std::int64_t to = std::min(column, end_column);
                if (from < to) FillSpan(canvas, row, line, static_cast<int>(from), static_cast<int>(to), pixel, hatch_bits);
            }
        }
    }
    return true;
}

bool FillPolygonPixels(Canvas& canvas, const double* corners, int count, bool even_odd, Color color,
                       int hatch_style) {
    if (canvas.pixels == nullptr || canvas.figures == nullptr || count > kMaxFixedCorners) return false;
    for (int i = 0; i < 2 * count; ++i)
        if (!(std::fabs(corners[i]) < kFarCorner)) return false;
    // Cairo's path runs half a pixel in from the corners given, so that the
    // centre of pixel (column, row) falls on the point (column, row).
    FigureScratch& scratch = *canvas.figures;
    for (int i = 0; i < count; ++i)
        scratch.path[static_cast<std::size_t>(i)] = FixedPoint{ToFixed(corners[2 * i] + 0.5), ToFixed(corners[2 * i + 1] + 0.5)};
    BeginFigure(scratch);
    AddContour(scratch, scratch.path.data(), count);
    return FillFigure(canvas, scratch, even_odd, color, hatch_style);
}

}  // namespace platform
