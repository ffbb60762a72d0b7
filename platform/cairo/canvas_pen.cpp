// Pens and boxes set pixel by pixel. A round pen's stroke is the union of
// the shapes it sweeps along each straight piece: two of its outlines joined
// by the two sides. Cairo draws the pen as a polygon of as many corners as its
// tolerance asks, so the shapes are built from the same corners and filled by
// the same rule as Cairo's fills; curves are cut into the straight pieces
// Cairo cuts them into. Pixels may differ from Cairo's only along the curved
// parts of a stroke, where Cairo's joins between the pieces of a curve differ
// in detail from the swept shapes.

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

// Adds the pen swept from one point to the other to the figure, as Cairo
// outlines it: along one side, offset from the line by the pen's radius,
// round the far end by the pen's corners ahead of it, back along the other
// side and round the near end by the corners behind it.
void SweepPen(FigureScratch& scratch, const Pen& pen, FixedPoint from, FixedPoint to) {
    // A point alone takes an arbitrary direction, along the rows.
    double along_x = Pixels(to.x - from.x), along_y = Pixels(to.y - from.y);
    if (along_x == 0 && along_y == 0) along_x = 1;
    const double length = std::hypot(along_x, along_y);
    const FixedPoint side{ToFixed(-along_y / length * pen.radius), ToFixed(along_x / length * pen.radius)};
    const FixedPoint ahead{ToFixed(along_x), ToFixed(along_y)};
    struct Corner {
        std::int64_t across = 0;  // towards the first side
        int index = 0;
    };
    std::array<Corner, kMaxPenCorners> front, back;
    int front_count = 0, back_count = 0;
    for (int i = 0; i < pen.count; ++i) {
        const FixedPoint& corner = pen.corners[static_cast<std::size_t>(i)];
        const std::int64_t forward = corner.x * ahead.x + corner.y * ahead.y;
        const std::int64_t across = corner.x * side.x + corner.y * side.y;
        if (forward > 0) front[static_cast<std::size_t>(front_count++)] = Corner{across, i};
        if (forward < 0) back[static_cast<std::size_t>(back_count++)] = Corner{across, i};
    }
    // Round the far end from the first side to the second, round the near end back.
    std::sort(front.begin(), front.begin() + front_count,
              [](const Corner& a, const Corner& b) { return a.across > b.across; });
    std::sort(back.begin(), back.begin() + back_count,
              [](const Corner& a, const Corner& b) { return a.across < b.across; });
    std::array<FixedPoint, kMaxPenCorners + 4> outline;
    int count = 0;
    auto add = [&](const FixedPoint& at, std::int64_t x, std::int64_t y) {
        outline[static_cast<std::size_t>(count++)] = FixedPoint{at.x + x, at.y + y};
    };
    add(from, side.x, side.y);
    add(to, side.x, side.y);
    for (int i = 0; i < front_count; ++i) {
        const FixedPoint& corner = pen.corners[static_cast<std::size_t>(front[static_cast<std::size_t>(i)].index)];
        add(to, corner.x, corner.y);
    }
    add(to, -side.x, -side.y);
    add(from, -side.x, -side.y);
    for (int i = 0; i < back_count; ++i) {
        const FixedPoint& corner = pen.corners[static_cast<std::size_t>(back[static_cast<std::size_t>(i)].index)];
        add(from, corner.x, corner.y);
    }
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

// The stroke of a closed outline: the pen swept along every side, one figure.
bool StrokeFixed(Canvas& canvas, const FixedPoint* points, int count, int width, Color color) {
    Pen pen;
    if (!MakePen(pen, width)) return false;
    FigureScratch& scratch = *canvas.figures;
    BeginFigure(scratch);
    for (int i = 0; i < count; ++i) SweepPen(scratch, pen, points[i], points[(i + 1) % count]);
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
    SweepPen(scratch, pen, FixedPoint{ToFixed(x0), ToFixed(y0)}, FixedPoint{ToFixed(x1), ToFixed(y1)});
    return FillFigure(canvas, scratch, false, color, 0);
}

bool StrokeSnappedOutline(Canvas& canvas, const double* corners, int count, int width, Color color) {
    if (!Usable(canvas) || count > kMaxFixedCorners) return false;
    for (int i = 0; i < count; ++i)
        if (!Near(corners[2 * i], corners[2 * i + 1])) return false;
    FixedPoint* fixed = canvas.figures->path.data();
    for (int i = 0; i < count; ++i)
        fixed[i] = FixedPoint{ToFixed(std::nearbyint(corners[2 * i]) + 0.5), ToFixed(std::nearbyint(corners[2 * i + 1]) + 0.5)};
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
