#include "platform/cairo/canvas_stamps.h"

#include "platform/cairo/canvas_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// One run of a row, clipped to the writable part of the canvas.
void FillRun(Canvas& canvas, int row, int first_column, int last_column, std::uint32_t pixel) {
    const PixelRect& clip = canvas.clip;
    if (row < clip.top || row >= clip.bottom) return;
    first_column = std::max(first_column, clip.left);
    last_column = std::min(last_column, clip.right - 1);
    if (first_column > last_column) return;
    auto* line = reinterpret_cast<std::uint32_t*>(canvas.pixels + static_cast<std::size_t>(row) * canvas.stride);
    SetPixelRun(line + first_column, line + last_column + 1, pixel);
}

// One column's rows from top to bottom, clipped likewise.
void FillColumn(Canvas& canvas, int column, int top, int bottom, std::uint32_t pixel) {
    const PixelRect& clip = canvas.clip;
    if (column < clip.left || column >= clip.right) return;
    top = std::max(top, clip.top);
    bottom = std::min(bottom, clip.bottom - 1);
    if (top > bottom) return;
    unsigned char* at = canvas.pixels + static_cast<std::size_t>(top) * canvas.stride + column * 4;
    for (int row = top; row <= bottom; ++row, at += canvas.stride) std::memcpy(at, &pixel, 4);
}

// The pixel a device coordinate falls on, as everywhere in the canvas.
int PixelOf(double device) {
    return static_cast<int>(RoundHalfEven(device));
}

// -- Discs --
// A disc drawn for the game has its centre and radii on whole or half pixels,
// so its pixels depend only on the radii and on which half its centre falls
// in. The spans of such a shape are worked out by SetDiscPixels's own test on
// the same exact offsets, so they hold exactly its pixels.

constexpr int kDiscRows = 2 * static_cast<int>(kSmallDisc) + 3;

struct DiscSpans {
    double radius_x = -1, radius_y = -1, half_x = 0, half_y = 0;  // the shape: radii, centre's fraction
    int first_row = 0, rows = 0;                                  // rows below the centre's whole row
    int first[kDiscRows] = {}, last[kDiscRows] = {};              // columns from its whole column; first > last: none
    int leftmost = 0, rightmost = 0;                              // the widest row's ends
};

void WorkOutSpans(DiscSpans& spans, double radius_x, double radius_y, double half_x, double half_y) {
    spans.radius_x = radius_x;
    spans.radius_y = radius_y;
    spans.half_x = half_x;
    spans.half_y = half_y;
    spans.first_row = static_cast<int>(std::floor(half_y - radius_y));
    spans.rows = static_cast<int>(std::ceil(half_y + radius_y)) - spans.first_row + 1;
    const int first_column = static_cast<int>(std::floor(half_x - radius_x));
    const int last_column = static_cast<int>(std::ceil(half_x + radius_x));
    spans.leftmost = last_column;
    spans.rightmost = first_column;
    for (int r = 0; r < spans.rows; ++r) {
        const double v = (spans.first_row + r + 0.5 - half_y) / radius_y;
        spans.first[r] = 1;
        spans.last[r] = 0;
        for (int column = first_column; column <= last_column; ++column) {
            const double u = (column + 0.5 - half_x) / radius_x;
            if (u * u + v * v > 1.0) continue;
            if (spans.first[r] > spans.last[r]) spans.first[r] = column;
            spans.last[r] = column;
        }
        if (spans.first[r] <= spans.last[r]) {
            spans.leftmost = std::min(spans.leftmost, spans.first[r]);
            spans.rightmost = std::max(spans.rightmost, spans.last[r]);
        }
    }
}

// Twice the value when it lies on a whole or half pixel, else -1 << 40.
constexpr long long kNotOnHalves = -(1LL << 40);
long long Halves(double value) {
    const double twice = 2 * value;
    if (!(std::fabs(twice) < 1e9)) return kNotOnHalves;
    const auto halves = static_cast<long long>(twice);
    return static_cast<double>(halves) == twice ? halves : kNotOnHalves;
}

}  // namespace

void SetDiscPixels(Canvas& canvas, double centre_x, double centre_y, double radius_x, double radius_y,
                   std::uint32_t pixel) {
    // Bounds far off the picture are cut before they become whole numbers.
    const auto whole = [](double bound) { return static_cast<int>(std::clamp(bound, -1e8, 1e8)); };
    if (std::isnan(centre_x + centre_y + radius_x + radius_y)) return;
    int first_row = std::max(canvas.clip.top, whole(std::floor(centre_y - radius_y)));
    int last_row = std::min(canvas.clip.bottom - 1, whole(std::ceil(centre_y + radius_y)));
    int first_column = std::max(canvas.clip.left, whole(std::floor(centre_x - radius_x)));
    int last_column = std::min(canvas.clip.right - 1, whole(std::ceil(centre_x + radius_x)));
    for (int row = first_row; row <= last_row; ++row) {
        double v = (row + 0.5 - centre_y) / radius_y;
        unsigned char* line = canvas.pixels + static_cast<std::size_t>(row) * canvas.stride;
        for (int column = first_column; column <= last_column; ++column) {
            double u = (column + 0.5 - centre_x) / radius_x;
            if (u * u + v * v <= 1.0) std::memcpy(line + column * 4, &pixel, 4);
        }
    }
}

void StampDiscs(Canvas& canvas, const double* discs, int count, std::uint32_t pixel) {
    // A batch holds a handful of shapes: the radii of one size snapped at
    // different places differ by a pixel, and the centre falls on either half.
    constexpr int kShapes = 8;
    DiscSpans shapes[kShapes];
    int made = 0, next = 0;
    for (int i = 0; i < count; ++i) {
        const double* disc = discs + 4 * i;
        const double centre_x = disc[0], centre_y = disc[1], radius_x = disc[2], radius_y = disc[3];
        const long long halves_x = Halves(centre_x), halves_y = Halves(centre_y);
        if (halves_x == kNotOnHalves || halves_y == kNotOnHalves || Halves(radius_x) == kNotOnHalves ||
            Halves(radius_y) == kNotOnHalves || radius_x > kSmallDisc || radius_y > kSmallDisc) {
            SetDiscPixels(canvas, centre_x, centre_y, radius_x, radius_y, pixel);
            continue;
        }
        // The whole pixel below the centre (halves shifted down round towards
        // minus infinity), and the half left over.
        const long long whole_x = halves_x >> 1, whole_y = halves_y >> 1;
        const double half_x = (halves_x & 1) != 0 ? 0.5 : 0.0, half_y = (halves_y & 1) != 0 ? 0.5 : 0.0;
        const DiscSpans* spans = nullptr;
        for (int s = 0; s < made && spans == nullptr; ++s) {
            const DiscSpans& shape = shapes[s];
            if (shape.radius_x == radius_x && shape.radius_y == radius_y && shape.half_x == half_x &&
                shape.half_y == half_y)
                spans = &shape;
        }
        if (spans == nullptr) {
            DiscSpans& shape = shapes[made < kShapes ? made++ : next++ % kShapes];
            WorkOutSpans(shape, radius_x, radius_y, half_x, half_y);
            spans = &shape;
        }
        const auto column = static_cast<int>(whole_x), row = static_cast<int>(whole_y) + spans->first_row;
        const PixelRect& clip = canvas.clip;
        if (column + spans->leftmost < clip.left || column + spans->rightmost >= clip.right || row < clip.top ||
            row + spans->rows > clip.bottom) {
            for (int r = 0; r < spans->rows; ++r)
                if (spans->first[r] <= spans->last[r])
                    FillRun(canvas, row + r, column + spans->first[r], column + spans->last[r], pixel);
            continue;
        }
        // Wholly inside, as nearly every disc is: no row needs cutting.
        unsigned char* line = canvas.pixels + static_cast<std::size_t>(row) * canvas.stride;
        for (int r = 0; r < spans->rows; ++r, line += canvas.stride) {
            auto* at = reinterpret_cast<std::uint32_t*>(line) + column;
            for (int c = spans->first[r]; c <= spans->last[r]; ++c) at[c] = pixel;
        }
    }
}

// -- Diamonds --

void StampDiamonds(Canvas& canvas, const double* centres, int count, int radius_x, int radius_y,
                   std::uint32_t pixel) {
    radius_x = std::clamp(radius_x, 0, kSmallDiamond);
    radius_y = std::clamp(radius_y, 0, kSmallDiamond);
    // Half the width of the outline at each distance from the middle row, and
    // where its run in that row ends towards the middle: next to the run of the
    // row beyond, so a flat edge stays closed.
    int outer[kSmallDiamond + 2], inner[kSmallDiamond + 1];
    for (int d = 0; d <= radius_y; ++d)
        outer[d] = radius_y == 0 ? radius_x
                                 : static_cast<int>(std::nearbyint(static_cast<double>(radius_x) * (radius_y - d) /
                                                                   radius_y));
    outer[radius_y + 1] = -1;
    for (int d = 0; d <= radius_y; ++d) inner[d] = std::min(outer[d], outer[d + 1] + 1);
    const PixelRect& clip = canvas.clip;
    for (int i = 0; i < count; ++i) {
        const int column = static_cast<int>(centres[2 * i]), row = static_cast<int>(centres[2 * i + 1]);
        if (column - radius_x >= clip.left && column + radius_x < clip.right && row - radius_y >= clip.top &&
            row + radius_y < clip.bottom) {
            // Wholly inside: the runs are set without cutting.
            unsigned char* line = canvas.pixels + static_cast<std::size_t>(row - radius_y) * canvas.stride;
            for (int dy = -radius_y; dy <= radius_y; ++dy, line += canvas.stride) {
                const int d = dy < 0 ? -dy : dy;
                auto* middle = reinterpret_cast<std::uint32_t*>(line) + column;
                for (int dx = inner[d]; dx <= outer[d]; ++dx) middle[dx] = pixel;
                for (int dx = std::max(inner[d], 1); dx <= outer[d]; ++dx) middle[-dx] = pixel;
            }
            continue;
        }
        for (int dy = -radius_y; dy <= radius_y; ++dy) {
            const int d = dy < 0 ? -dy : dy;
            if (inner[d] == 0) {
                FillRun(canvas, row + dy, column - outer[d], column + outer[d], pixel);
            } else {
                FillRun(canvas, row + dy, column - outer[d], column - inner[d], pixel);
                FillRun(canvas, row + dy, column + inner[d], column + outer[d], pixel);
            }
        }
    }
}

// -- Open lines --

void StampPolyline(Canvas& canvas, const double* corners, int count, int thickness, std::uint32_t pixel) {
    thickness = std::max(1, thickness);
    const int above = (thickness - 1) / 2, below = thickness / 2;
    for (int i = 0; i + 1 < count; ++i) {
        double x0 = corners[2 * i], y0 = corners[2 * i + 1], x1 = corners[2 * i + 2], y1 = corners[2 * i + 3];
        if (x1 < x0) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const double slope = x1 > x0 ? (y1 - y0) / (x1 - x0) : 0.0;
        // A pixel column holds the device x that round to it: column - 0.5 up to column + 0.5.
        const int first = std::max(PixelOf(x0), canvas.clip.left);
        const int last = std::min(PixelOf(x1), canvas.clip.right - 1);
        for (int column = first; column <= last; ++column) {
            double high = y0, low = y1;
            if (x1 > x0) {
                high = y0 + (std::max(x0, column - 0.5) - x0) * slope;
                low = y0 + (std::min(x1, column + 0.5) - x0) * slope;
            }
            if (high > low) std::swap(high, low);
            FillColumn(canvas, column, PixelOf(high) - above, PixelOf(low) + below, pixel);
        }
    }
}

}  // namespace platform
