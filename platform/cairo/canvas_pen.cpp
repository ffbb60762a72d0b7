// Pens and boxes set pixel by pixel. A round pen's stroke is the union of
// the shapes it sweeps along each straight piece: two of its outlines joined
// by the two sides. Cairo draws the pen as a polygon of as many corners as its
// tolerance asks, so the shapes are built from the same corners and filled by
// the same rule as Cairo's fills; curves are cut into the straight pieces
// Cairo cuts them into, and a line's ends are rounded by the pen corners
// Cairo picks for its caps. Pixels may still differ from Cairo's where the
// pieces of an outline or of a curve meet: Cairo joins them, while here they
// are swept one by one. A one-pixel line, as the marker is drawn, is set
// exactly as Cairo sets it.

#include "platform/cairo/canvas_pixels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace platform {

namespace {

constexpr double kTolerance = 0.1;  // Cairo's default: how far a flattened curve may stray, in pixels
constexpr int kMaxPenCorners = 120;
constexpr double kPi = 3.14159265358979323846;

// -- The pen --

// Cairo's count of pen corners for a radius at its tolerance.
int PenCornerCount(double radius) {
    if (kTolerance >= 4 * radius) return 1;
    if (kTolerance >= radius) return 4;
    const double divisor = std::acos(1 - kTolerance / radius);
    int count = static_cast<int>(std::ceil(2 * kPi / divisor));
    if (count % 2 != 0) ++count;
    return std::max(count, 4);
}

struct Pen {
    std::array<FixedPoint, kMaxPenCorners> corners;
    int count = 0;
    double radius = 0;
};

bool MakePen(Pen& pen, int width) {
    pen.radius = std::max(1, width) / 2.0;
    pen.count = PenCornerCount(pen.radius);
    if (pen.count > kMaxPenCorners) return false;
    for (int i = 0; i < pen.count; ++i) {
        const double angle = 2 * kPi * i / pen.count;
        pen.corners[static_cast<std::size_t>(i)] =
            FixedPoint{ToFixed(pen.radius * std::cos(angle)), ToFixed(pen.radius * std::sin(angle))};
    }
    return true;
}

double Pixels(std::int64_t fixed) {
    return static_cast<double>(fixed) / kFixedOne;
}

// -- The pen swept --

struct Slope {
    std::int64_t dx = 0, dy = 0;
};

// Cairo's order of directions: by the cross product, zero vectors last, and
// opposite directions told apart by their signs.
int CompareSlopes(const Slope& a, const Slope& b) {
    const std::int64_t left = a.dy * b.dx, right = b.dy * a.dx;
    if (left != right) return left < right ? -1 : 1;
    const bool a_zero = a.dx == 0 && a.dy == 0, b_zero = b.dx == 0 && b.dy == 0;
    if (a_zero && b_zero) return 0;
    if (a_zero) return 1;
    if (b_zero) return -1;
    if ((a.dx ^ b.dx) < 0 || (a.dy ^ b.dy) < 0) return (a.dx > 0 || (a.dx == 0 && a.dy < 0)) ? 1 : -1;
    return 0;
}

// The directions of the pen's sides before and after each corner.
Slope SideBefore(const Pen& pen, int i) {
    const FixedPoint& before = pen.corners[static_cast<std::size_t>((i + pen.count - 1) % pen.count)];
    const FixedPoint& at = pen.corners[static_cast<std::size_t>(i)];
    return Slope{at.x - before.x, at.y - before.y};
}
Slope SideAfter(const Pen& pen, int i) {
    const FixedPoint& at = pen.corners[static_cast<std::size_t>(i)];
    const FixedPoint& after = pen.corners[static_cast<std::size_t>((i + 1) % pen.count)];
    return Slope{after.x - at.x, after.y - at.y};
}

// The pen's corners Cairo rounds an end with, turning from the direction
// `in` to `out`: from *start down to (not including) *stop.
void EndCorners(const Pen& pen, const Slope& in, const Slope& out, int* start, int* stop) {
    const int count = pen.count;
    int low = 0, high = count;
    int i = (low + high) >> 1;
    do {
        if (CompareSlopes(in, SideAfter(pen, i)) < 0) {
            low = i;
        } else {
            high = i;
        }
        i = (low + high) >> 1;
    } while (high - low > 1);
    if (CompareSlopes(in, SideAfter(pen, i)) < 0 && ++i == count) i = 0;
    *start = i;
    if (CompareSlopes(SideBefore(pen, i), out) <= 0) {
        low = i;
        high = i + count;
        i = (low + high) >> 1;
        do {
            const int j = i >= count ? i - count : i;
            if (CompareSlopes(out, SideAfter(pen, j)) > 0) {
                high = i;
            } else {
                low = i;
            }
            i = (low + high) >> 1;
        } while (high - low > 1);
        if (i >= count) i -= count;
    }
    *stop = i;
}

// How the ends of a swept pen are rounded: as Cairo caps a line's ends, or,
// for the pieces of an outline, which meet in joins, by every corner of the
// pen on the far side of the end (the joins' corners as near as a swept
// shape comes to them).
enum class PenEnds { LineCaps, Joins };

// Adds the pen swept from one point to the other to the figure, as Cairo
// outlines it: along one side, offset from the line by the pen's radius,
// round the far end, back along the other side and round the near end.
void SweepPen(FigureScratch& scratch, const Pen& pen, FixedPoint from, FixedPoint to, PenEnds ends) {
    Slope ahead{to.x - from.x, to.y - from.y};
    // A point alone takes an arbitrary direction, along the rows.
    double along_x = Pixels(ahead.dx), along_y = Pixels(ahead.dy);
    if (ahead.dx == 0 && ahead.dy == 0) {
        ahead = Slope{kFixedOne, 0};
        along_x = 1;
    }
    const double length = std::sqrt(along_x * along_x + along_y * along_y);
    const FixedPoint side{ToFixed(-along_y / length * pen.radius), ToFixed(along_x / length * pen.radius)};
    const Slope back{-ahead.dx, -ahead.dy};
    std::array<FixedPoint, 2 * kMaxPenCorners + 4> outline;
    int count = 0;
    auto add = [&](const FixedPoint& at, std::int64_t x, std::int64_t y) {
        outline[static_cast<std::size_t>(count++)] = FixedPoint{at.x + x, at.y + y};
    };
    auto round_end = [&](const FixedPoint& at, const Slope& in, const Slope& out, std::int64_t turn) {
        if (ends == PenEnds::LineCaps) {
            int corner = 0, stop = 0;
            EndCorners(pen, in, out, &corner, &stop);
            for (int guard = 0; corner != stop && guard < pen.count; ++guard) {
                const FixedPoint& offset = pen.corners[static_cast<std::size_t>(corner)];
                add(at, offset.x, offset.y);
                corner = corner == 0 ? pen.count - 1 : corner - 1;
            }
            return;
        }
        // The corners strictly beyond the end, in order from one side to the other.
        struct Corner {
            std::int64_t across = 0;
            int index = 0;
        };
        std::array<Corner, kMaxPenCorners> beyond;
        int beyond_count = 0;
        for (int i = 0; i < pen.count; ++i) {
            const FixedPoint& corner = pen.corners[static_cast<std::size_t>(i)];
            if (corner.x * in.dx + corner.y * in.dy > 0)
                beyond[static_cast<std::size_t>(beyond_count++)] = Corner{turn * (corner.x * side.x + corner.y * side.y), i};
        }
        std::sort(beyond.begin(), beyond.begin() + beyond_count,
                  [](const Corner& a, const Corner& b) { return a.across > b.across; });
        for (int i = 0; i < beyond_count; ++i) {
            const FixedPoint& offset = pen.corners[static_cast<std::size_t>(beyond[static_cast<std::size_t>(i)].index)];
            add(at, offset.x, offset.y);
        }
    };
    add(from, side.x, side.y);
    add(to, side.x, side.y);
    round_end(to, ahead, back, 1);
    add(to, -side.x, -side.y);
    add(from, -side.x, -side.y);
    round_end(from, back, ahead, -1);
    AddContour(scratch, outline.data(), count);
}

bool Near(double x, double y) {
    return std::fabs(x) < kFarCorner && std::fabs(y) < kFarCorner;
}

// -- Box outlines as Cairo builds them --

// A closed outline in fixed point, curves cut into straight pieces, in the
// canvas's scratch.
struct FixedPath {
    FixedPoint* points = nullptr;
    int count = 0;
    bool overflow = false;

    void Add(FixedPoint point) {
        if (count == kMaxFixedCorners) {
            overflow = true;
            return;
        }
        points[count++] = point;
    }
    void LineTo(double x, double y) { Add(FixedPoint{ToFixed(x), ToFixed(y)}); }
    FixedPoint Last() const { return points[count - 1]; }
};

FixedPoint Half(const FixedPoint& a, const FixedPoint& b) {
    return FixedPoint{a.x + ((b.x - a.x) >> 1), a.y + ((b.y - a.y) >> 1)};
}

struct Knots {
    FixedPoint a, b, c, d;
};

// A control point's offset from the chord's start, moved to its offset from
// the nearest point of the chord (dx, dy; v its length squared).
void FromChord(double& px, double& py, double dx, double dy, double v) {
    const double u = px * dx + py * dy;
    if (u <= 0) return;
    if (u >= v) {
        px -= dx;
        py -= dy;
    } else {
        px -= u / v * dx;
        py -= u / v * dy;
    }
}

// How far the control points stray from the chord, squared, in pixels.
double StraySquared(const Knots& k) {
    double bx = Pixels(k.b.x - k.a.x), by = Pixels(k.b.y - k.a.y);
    double cx = Pixels(k.c.x - k.a.x), cy = Pixels(k.c.y - k.a.y);
    if (k.a.x != k.d.x || k.a.y != k.d.y) {
        const double dx = Pixels(k.d.x - k.a.x), dy = Pixels(k.d.y - k.a.y);
        const double v = dx * dx + dy * dy;
        FromChord(bx, by, dx, dy, v);
        FromChord(cx, cy, dx, dy, v);
    }
    return std::max(bx * bx + by * by, cx * cx + cy * cy);
}

// Halves the curve until each piece is flat enough, adding each piece's start.
void Flatten(FixedPath& path, Knots k, int depth) {
    if (depth > 24 || StraySquared(k) < kTolerance * kTolerance) {
        if (k.a.x != path.Last().x || k.a.y != path.Last().y) path.Add(k.a);
        return;
    }
    const FixedPoint ab = Half(k.a, k.b), bc = Half(k.b, k.c), cd = Half(k.c, k.d);
    const FixedPoint abbc = Half(ab, bc), bccd = Half(bc, cd), middle = Half(abbc, bccd);
    Flatten(path, Knots{k.a, ab, abbc, middle}, depth + 1);
    Flatten(path, Knots{middle, bccd, cd, k.d}, depth + 1);
}

void CurveTo(FixedPath& path, double x1, double y1, double x2, double y2, double x3, double y3) {
    const Knots k{path.Last(), FixedPoint{ToFixed(x1), ToFixed(y1)}, FixedPoint{ToFixed(x2), ToFixed(y2)},
                  FixedPoint{ToFixed(x3), ToFixed(y3)}};
    // Without tangents a curve is its chord.
    if (!(k.a.x == k.b.x && k.a.y == k.b.y && k.c.x == k.d.x && k.c.y == k.d.y)) Flatten(path, k, 0);
    path.Add(k.d);
}

// The outline CanvasBox paints: a rectangle with elliptic corners of the given
// radii, or the whole ellipse, with the same points and curves as the canvas
// gives Cairo.
void BuildBoxPath(FixedPath& path, const RoundBoxPaint& box) {
    constexpr double k = 0.5522847498307936;  // the quarter-circle handle
    const double left = box.left, top = box.top, right = box.right, bottom = box.bottom;
    const double rx = box.radius_x, ry = box.radius_y;
    const double kx = rx * k, ky = ry * k;
    if (box.ellipse) {
        const double cx = (left + right) / 2, cy = (top + bottom) / 2;
        path.LineTo(cx + rx, cy);
        CurveTo(path, cx + rx, cy + ky, cx + kx, cy + ry, cx, cy + ry);
        CurveTo(path, cx - kx, cy + ry, cx - rx, cy + ky, cx - rx, cy);
        CurveTo(path, cx - rx, cy - ky, cx - kx, cy - ry, cx, cy - ry);
        CurveTo(path, cx + kx, cy - ry, cx + rx, cy - ky, cx + rx, cy);
        return;
    }
    if (rx <= 0 || ry <= 0) {
        path.LineTo(left, top);
        path.LineTo(right, top);
        path.LineTo(right, bottom);
        path.LineTo(left, bottom);
        return;
    }
    path.LineTo(left + rx, top);
    path.LineTo(right - rx, top);
    CurveTo(path, right - rx + kx, top, right, top + ry - ky, right, top + ry);
    path.LineTo(right, bottom - ry);
    CurveTo(path, right, bottom - ry + ky, right - rx + kx, bottom, right - rx, bottom);
    path.LineTo(left + rx, bottom);
    CurveTo(path, left + rx - kx, bottom, left, bottom - ry + ky, left, bottom - ry);
    path.LineTo(left, top + ry);
    CurveTo(path, left, top + ry - ky, left + rx - kx, top, left + rx, top);
}

// Whether the pen swept between two points can reach a marked cell: its
// pixels, and the one-pixel gap a span runs on over, lie within the pen's
// radius and two pixels of the segment's box. What lies beyond a side of the
// canvas is cut to run along it, so it counts as lying on that side.
bool SweepReachesMarkedCells(const Canvas& canvas, const Pen& pen, FixedPoint from, FixedPoint to) {
    if (canvas.marked == nullptr) return true;
    const std::int64_t reach = ToFixed(pen.radius + 2);
    const auto pixel = [](std::int64_t fixed) { return static_cast<int>(std::floor(Pixels(fixed))); };
    const int left = std::clamp(pixel(std::min(from.x, to.x) - reach), 0, canvas.width - 1);
    const int right = std::clamp(pixel(std::max(from.x, to.x) + reach) + 1, left + 1, canvas.width);
    return ReachesMarkedCells(canvas, left, pixel(std::min(from.y, to.y) - reach), right,
                              pixel(std::max(from.y, to.y) + reach) + 1);
}

// The stroke of a closed outline: the pen swept along every side, one figure.
// Every sweep turns the same way round, so each adds to the winding only
// inside itself: while changed cells are repainted, the sweeps that reach
// none of them are left out.
bool StrokeFixed(Canvas& canvas, const FixedPoint* points, int count, int width, Color color) {
    Pen pen;
    if (!MakePen(pen, width)) return false;
    FigureScratch& scratch = *canvas.figures;
    BeginFigure(scratch);
    for (int i = 0; i < count; ++i) {
        const FixedPoint& from = points[i];
        const FixedPoint& to = points[(i + 1) % count];
        if (SweepReachesMarkedCells(canvas, pen, from, to)) SweepPen(scratch, pen, from, to, PenEnds::Joins);
    }
    return FillFigure(canvas, scratch, false, color, 0);
}

bool Usable(const Canvas& canvas) {
    return canvas.pixels != nullptr && canvas.figures != nullptr;
}

}  // namespace

bool StrokeLinePixels(Canvas& canvas, double x0, double y0, double x1, double y1, int width, Color color) {
    if (!Usable(canvas) || !Near(x0, y0) || !Near(x1, y1)) return false;
    Pen pen;
    if (!MakePen(pen, width)) return false;
    FigureScratch& scratch = *canvas.figures;
    BeginFigure(scratch);
    SweepPen(scratch, pen, FixedPoint{ToFixed(x0), ToFixed(y0)}, FixedPoint{ToFixed(x1), ToFixed(y1)},
             PenEnds::LineCaps);
    return FillFigure(canvas, scratch, false, color, 0);
}

bool StrokeSnappedOutline(Canvas& canvas, const double* corners, int count, int width, Color color) {
    if (!Usable(canvas) || count > kMaxFixedCorners) return false;
    for (int i = 0; i < count; ++i)
        if (!Near(corners[2 * i], corners[2 * i + 1])) return false;
    FixedPoint* fixed = canvas.figures->path.data();
    for (int i = 0; i < count; ++i)
        fixed[i] = FixedPoint{ToFixed(RoundHalfEven(corners[2 * i]) + 0.5), ToFixed(RoundHalfEven(corners[2 * i + 1]) + 0.5)};
    return StrokeFixed(canvas, fixed, count, width, color);
}

bool PaintRoundBoxPixels(Canvas& canvas, const RoundBoxPaint& box) {
    if (!Usable(canvas) || !Near(box.left, box.top) || !Near(box.right, box.bottom)) return false;
    FixedPath path;
    path.points = canvas.figures->path.data();
    BuildBoxPath(path, box);
    if (path.overflow) return false;
    if (box.filled) {
        FigureScratch& scratch = *canvas.figures;
        BeginFigure(scratch);
        AddContour(scratch, path.points, path.count);
        if (!FillFigure(canvas, scratch, false, box.fill, box.hatch_style)) return false;
    }
    if (box.outlined) return StrokeFixed(canvas, path.points, path.count, box.pen_width, box.outline);
    return true;
}

}  // namespace platform
