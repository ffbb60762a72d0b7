// Kept frames: the canvas records a frame's operations as the game draws them
// and paints them at the redraw. A frame that begins by clearing the whole
// picture depends on nothing drawn before it, so where its operations equal
// the last frame's, its pixels equal the last frame's too. Only the tiles that
// an operation differing from the last frame's may reach (old and new; for a
// polygon that only moved, what its edges swept) are repainted, each run of
// tiles painted with every operation that reaches into it, and only those
// tiles are handed to the window. A frame that changes much is painted in
// full, as is any frame the canvas cannot compare (no clear first, pixels
// written directly, too many operations).

#include "platform/cairo/canvas.h"

#include "platform/cairo/canvas_ops.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Room for the busiest picture the game draws (1500 stars, six walls of
// letters, six ROBO copies) several times over; a frame beyond it is painted
// in pieces, correctly, only without the saving.
constexpr std::size_t kMaxOps = 16384;
constexpr std::size_t kMaxCornerValues = 2 * 131072;
constexpr std::size_t kMaxTextBytes = 65536;
// Changes are gathered in tiles of this many pixels a side.
constexpr int kTile = 32;
// Cairo fills a clipped path as the path cut at the clip's edge, which can
// turn a pixel next to that edge: regions are painted with this margin on a
// scratch picture and only their inside is copied onto the canvas.
constexpr int kRepaintMargin = 4;
// Past this share of the picture a repaint of everything is cheaper.
constexpr double kWholeShare = 0.45;

struct FrameOps {
    std::vector<CanvasOp> ops;
    std::vector<double> corners;
    std::vector<char> text;
};

bool Empty(const PixelRect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

bool Overlap(const PixelRect& a, const PixelRect& b, int reach) {
    return a.left < b.right + reach && b.left < a.right + reach && a.top < b.bottom + reach &&
           b.top < a.bottom + reach;
}

// The regions as whole tiles: every box added marks the tiles it touches, and
// the marked tiles are gathered into rectangles, runs along a row of tiles
// joined with the same runs of the rows below.
struct RegionSet {
    int columns = 0, rows = 0, width = 0, height = 0;
    std::vector<std::uint8_t> marks;
    std::vector<PixelRect> rects;  // after Gather
    bool everything = false;
    long long marked = 0;

    void Init(int canvas_width, int canvas_height) {
        width = canvas_width;
        height = canvas_height;
        columns = (width + kTile - 1) / kTile;
        rows = (height + kTile - 1) / kTile;
        marks.assign(static_cast<std::size_t>(columns) * rows, 0);
        rects.reserve(kMaxChangedRegions);
        Clear();
    }

    void Clear() {
        std::fill(marks.begin(), marks.end(), 0);
        rects.clear();
        everything = false;
        marked = 0;
    }

    void Add(const PixelRect& box) {
        if (everything || Empty(box)) return;
        const int last_row = std::min(rows - 1, (box.bottom - 1) / kTile);
        const int last_column = std::min(columns - 1, (box.right - 1) / kTile);
        for (int row = std::max(0, box.top / kTile); row <= last_row; ++row) {
            std::uint8_t* line = marks.data() + static_cast<std::size_t>(row) * columns;
            for (int column = std::max(0, box.left / kTile); column <= last_column; ++column) {
                marked += line[column] == 0 ? 1 : 0;
                line[column] = 1;
            }
        }
    }

    // The share of the picture marked.
    double Share() const {
        return everything ? 1.0 : static_cast<double>(marked) / std::max(1, columns * rows);
    }

    // Builds rects; false (and everything) when they would be too many.
    bool Gather() {
        rects.clear();
        if (everything) return false;
        std::size_t row_start = 0;  // the rects reaching into the row before begin here
        for (int row = 0; row < rows; ++row) {
            const std::uint8_t* line = marks.data() + static_cast<std::size_t>(row) * columns;
            const std::size_t this_row = rects.size();
            for (int column = 0; column < columns;) {
                if (line[column] == 0) {
                    ++column;
                    continue;
                }
                int end = column;
                while (end < columns && line[end] != 0) ++end;
                const PixelRect run{column * kTile, row * kTile, std::min(end * kTile, width),
                                    std::min((row + 1) * kTile, height)};
                bool joined = false;
                for (std::size_t i = row_start; i < this_row && !joined; ++i) {
                    PixelRect& above = rects[i];
                    if (above.left == run.left && above.right == run.right && above.bottom == run.top) {
                        above.bottom = run.bottom;
                        joined = true;
                    }
                }
                if (!joined) {
                    if (rects.size() == static_cast<std::size_t>(kMaxChangedRegions)) {
                        everything = true;
                        rects.clear();
                        return false;
                    }
                    rects.push_back(run);
                }
                column = end;
            }
            // Rects of earlier rows that did not reach this one end there; keep
            // the search short by starting from the first rect that may continue.
            while (row_start < rects.size() && rects[row_start].bottom < (row + 1) * kTile &&
                   row_start < this_row)
                ++row_start;
        }
        return true;
    }
};

}  // namespace

struct FrameRecord {
    FrameOps frames[2];
    int drawing = 0;                // the frame being recorded; the other is the one painted before
    bool before_valid = false;      // the picture is exactly what the other frame's operations paint
    int whole_frames = 0;           // frames in a row that changed too much to paint in regions
    int frames_settled = 0;
    int suspended = 0;              // > 0: operations are painted at once
    const FontBook* fonts = nullptr;
    RegionSet changed;              // where the frame being settled differs from the one before
    RegionSet shown;                // painted since the window last took the picture
    // The scratch picture regions are painted on, the canvas's size; made at first use.
    cairo_surface_t* scratch = nullptr;
    cairo_t* scratch_cairo = nullptr;
};

namespace {

PixelRect WholeCanvas(const Canvas& canvas) {
    return PixelRect{0, 0, canvas.width, canvas.height};
}

PixelRect Clamp(const Canvas& canvas, PixelRect box) {
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.right = std::min(box.right, canvas.width);
    box.bottom = std::min(box.bottom, canvas.height);
    if (Empty(box)) box = PixelRect{};
    return box;
}

int Floor(double value) {
    return static_cast<int>(std::floor(std::clamp(value, -1e8, 1e8)));
}

int Ceil(double value) {
    return static_cast<int>(std::ceil(std::clamp(value, -1e8, 1e8)));
}

// Every pixel an operation may touch: its geometry grown by half the pen, and
// two pixels more for the snapping of outlines and the rounding of curves.
PixelRect OpBox(const Canvas& canvas, const CanvasOp& op, const double* corners) {
    double reach = std::max(1, op.pen_width) / 2.0 + 2;
    switch (op.kind) {
        case CanvasOpKind::Clear: return WholeCanvas(canvas);
        case CanvasOpKind::Pixel: return Clamp(canvas, PixelRect{Floor(op.a), Floor(op.b), Floor(op.a) + 1, Floor(op.b) + 1});
        case CanvasOpKind::Line:
        case CanvasOpKind::Box:
            return Clamp(canvas, PixelRect{Floor(std::min(op.a, op.c) - reach), Floor(std::min(op.b, op.d) - reach),
                                           Ceil(std::max(op.a, op.c) + reach), Ceil(std::max(op.b, op.d) + reach)});
        case CanvasOpKind::Polyline:
        case CanvasOpKind::Polygon: {
            double left = corners[0], right = corners[0], top = corners[1], bottom = corners[1];
            for (int i = 1; i < op.count; ++i) {
                left = std::min(left, corners[2 * i]);
                right = std::max(right, corners[2 * i]);
                top = std::min(top, corners[2 * i + 1]);
                bottom = std::max(bottom, corners[2 * i + 1]);
            }
            // Corners are exact: the fill takes the pixels whose index lies
            // inside, the thin outline the pixel nearest each point of an
            // edge, a wider stroke runs through the snapped corners' centres;
            // none reaches past the box rounded outward and grown by the pen
            // (the miter of a one-pixel pen's sharpest corner reaches five).
            const double polygon_reach = std::max(op.pen_width / 2.0, 5.0) + 2;
            return Clamp(canvas, PixelRect{Floor(left - polygon_reach), Floor(top - polygon_reach),
                                           Ceil(right + 1 + polygon_reach), Ceil(bottom + 1 + polygon_reach)});
        }
        case CanvasOpKind::Discs: {
            double left = corners[0], right = corners[0], top = corners[1], bottom = corners[1];
            for (int i = 0; i < op.count; ++i) {
                const double* disc = corners + 4 * i;
                left = std::min(left, disc[0] - disc[2]);
                right = std::max(right, disc[0] + disc[2]);
                top = std::min(top, disc[1] - disc[3]);
                bottom = std::max(bottom, disc[1] + disc[3]);
            }
            return Clamp(canvas, PixelRect{Floor(left) - 2, Floor(top) - 2, Ceil(right) + 2, Ceil(bottom) + 2});
        }
        case CanvasOpKind::Diamonds: {
            double left = corners[0], right = corners[0], top = corners[1], bottom = corners[1];
            for (int i = 1; i < op.count; ++i) {
                left = std::min(left, corners[2 * i]);
                right = std::max(right, corners[2 * i]);
                top = std::min(top, corners[2 * i + 1]);
                bottom = std::max(bottom, corners[2 * i + 1]);
            }
            return Clamp(canvas, PixelRect{Floor(left - op.a) - 2, Floor(top - op.b) - 2, Ceil(right + op.a) + 3,
                                           Ceil(bottom + op.b) + 3});
        }
        case CanvasOpKind::Text: return Clamp(canvas, op.box);
    }
    return WholeCanvas(canvas);
}

const double* CornersOf(const FrameOps& frame, const CanvasOp& op) {
    return CornerValues(op) > 0 ? frame.corners.data() + op.first : nullptr;
}

const char* TextOf(const FrameOps& frame, const CanvasOp& op) {
    return op.kind == CanvasOpKind::Text ? frame.text.data() + op.first : nullptr;
}

bool SameOp(const FrameOps& frame_a, const CanvasOp& a, const FrameOps& frame_b, const CanvasOp& b) {
    if (std::memcmp(&a, &b, offsetof(CanvasOp, first)) != 0) return false;
    if (CornerValues(a) > 0)
        return std::memcmp(CornersOf(frame_a, a), CornersOf(frame_b, b), sizeof(double) * CornerValues(a)) == 0;
    if (a.kind == CanvasOpKind::Text) return std::memcmp(TextOf(frame_a, a), TextOf(frame_b, b), a.count) == 0;
    return true;
}

// A polygon whose corners moved but whose colours, pen and number of corners
// did not: the pictures can differ only where an edge swept. Around every
// point, the difference of the two windings is the sum of the windings of the
// quadrilaterals each edge sweeps (old edge, new edge and the paths of its
// ends), and a quadrilateral winds around nothing outside its corners' box;
// strokes and joins reach no further than the pen beyond it.
void SweptEdges(const Canvas& canvas, const double* before, const double* now, const CanvasOp& op,
                RegionSet& regions) {
    const double reach = std::max(op.pen_width / 2.0, 5.0) + 2;
    for (int i = 0; i < op.count; ++i) {
        const int j = (i + 1) % op.count;
        if (before[2 * i] == now[2 * i] && before[2 * i + 1] == now[2 * i + 1] && before[2 * j] == now[2 * j] &&
            before[2 * j + 1] == now[2 * j + 1])
            continue;
        const double left = std::min({before[2 * i], before[2 * j], now[2 * i], now[2 * j]});
        const double right = std::max({before[2 * i], before[2 * j], now[2 * i], now[2 * j]});
        const double top = std::min({before[2 * i + 1], before[2 * j + 1], now[2 * i + 1], now[2 * j + 1]});
        const double bottom = std::max({before[2 * i + 1], before[2 * j + 1], now[2 * i + 1], now[2 * j + 1]});
        regions.Add(Clamp(canvas, PixelRect{Floor(left - reach), Floor(top - reach), Ceil(right + 1 + reach),
                                            Ceil(bottom + 1 + reach)}));
    }
}

// Discs of one call, as many as before in the same colour and pen: only
// those that moved or changed size differ, each within its own box.
void MovedDiscs(const Canvas& canvas, const double* before, const double* now, const CanvasOp& op,
                RegionSet& regions) {
    for (int i = 0; i < op.count; ++i) {
        const double* old_disc = before + 4 * i;
        const double* new_disc = now + 4 * i;
        if (std::memcmp(old_disc, new_disc, 4 * sizeof(double)) == 0) continue;
        for (const double* disc : {old_disc, new_disc})
            regions.Add(Clamp(canvas, PixelRect{Floor(disc[0] - disc[2]) - 2, Floor(disc[1] - disc[3]) - 2,
                                                Ceil(disc[0] + disc[2]) + 2, Ceil(disc[1] + disc[3]) + 2}));
    }
}

// The regions where two frames' pictures may differ. Frames of the same
// length are compared operation by operation; otherwise whatever lies between
// their common beginning and their common end differs.
void Differences(const Canvas& canvas, const FrameOps& before, const FrameOps& now, RegionSet& regions) {
    const std::size_t old_count = before.ops.size(), new_count = now.ops.size();
    if (old_count == new_count) {
        for (std::size_t i = 0; i < new_count; ++i) {
            // Once past the share where everything is painted, looking further is waste.
            if ((i & 63) == 0 && regions.Share() > kWholeShare) return;
            const CanvasOp& old_op = before.ops[i];
            const CanvasOp& new_op = now.ops[i];
            if (SameOp(before, old_op, now, new_op)) continue;
            // (A patterned pen's dashes run on round the whole outline: one
            // moved corner shifts them along every later edge.)
            if (new_op.kind == CanvasOpKind::Polygon && new_op.pen_style == 0 &&
                std::memcmp(&old_op, &new_op, offsetof(CanvasOp, first)) == 0) {
                SweptEdges(canvas, CornersOf(before, old_op), CornersOf(now, new_op), new_op, regions);
                continue;
            }
            if (new_op.kind == CanvasOpKind::Discs && std::memcmp(&old_op, &new_op, offsetof(CanvasOp, first)) == 0) {
                MovedDiscs(canvas, CornersOf(before, old_op), CornersOf(now, new_op), new_op, regions);
                continue;
            }
            regions.Add(before.ops[i].box);
            regions.Add(now.ops[i].box);
        }
        return;
    }
    std::size_t head = 0;
    while (head < old_count && head < new_count && SameOp(before, before.ops[head], now, now.ops[head])) ++head;
    std::size_t tail = 0;
    while (tail < old_count - head && tail < new_count - head &&
           SameOp(before, before.ops[old_count - 1 - tail], now, now.ops[new_count - 1 - tail]))
        ++tail;
    for (std::size_t i = head; i < old_count - tail; ++i) regions.Add(before.ops[i].box);
    for (std::size_t i = head; i < new_count - tail; ++i) regions.Add(now.ops[i].box);
}

void PaintAll(Canvas& canvas, const FrameRecord& record, const FrameOps& frame) {
    for (const CanvasOp& op : frame.ops)
        PaintCanvasOp(canvas, op, CornersOf(frame, op), TextOf(frame, op), record.fonts);
}

// Paints, inside one region, every operation that reaches into it: on the
// scratch picture within the region and its margin, then copies the region.
void PaintRegion(Canvas& canvas, FrameRecord& record, const FrameOps& frame, const PixelRect& region) {
    if (record.scratch == nullptr) {
        record.scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, canvas.width, canvas.height);
        record.scratch_cairo = cairo_create(record.scratch);
        cairo_set_antialias(record.scratch_cairo, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_cap(record.scratch_cairo, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(record.scratch_cairo, CAIRO_LINE_JOIN_ROUND);
    }
    const PixelRect painted = Clamp(canvas, PixelRect{region.left - kRepaintMargin, region.top - kRepaintMargin,
                                                      region.right + kRepaintMargin, region.bottom + kRepaintMargin});
    cairo_t* cairo = record.scratch_cairo;
    cairo_reset_clip(cairo);
    cairo_rectangle(cairo, painted.left, painted.top, painted.right - painted.left, painted.bottom - painted.top);
    cairo_clip(cairo);

    // The painter works on the canvas's fields: lend it the scratch picture.
    cairo_surface_t* surface = canvas.surface;
    cairo_t* canvas_cairo = canvas.cairo;
    unsigned char* pixels = canvas.pixels;
    canvas.surface = record.scratch;
    canvas.cairo = cairo;
    canvas.pixels = cairo_image_surface_get_data(record.scratch);
    canvas.clip = painted;
    for (const CanvasOp& op : frame.ops) {
        if (!Overlap(op.box, painted, 0) || Empty(op.box)) continue;
        PaintCanvasOp(canvas, op, CornersOf(frame, op), TextOf(frame, op), record.fonts);
    }
    canvas.surface = surface;
    canvas.cairo = canvas_cairo;
    canvas.pixels = pixels;
    canvas.clip = WholeCanvas(canvas);

    cairo_surface_flush(record.scratch);
    cairo_surface_flush(surface);
    const unsigned char* from = cairo_image_surface_get_data(record.scratch);
    const int from_stride = cairo_image_surface_get_stride(record.scratch);
    const std::size_t row_bytes = static_cast<std::size_t>(region.right - region.left) * 4;
    for (int row = region.top; row < region.bottom; ++row)
        std::memcpy(pixels + static_cast<std::size_t>(row) * canvas.stride + static_cast<std::size_t>(region.left) * 4,
                    from + static_cast<std::size_t>(row) * from_stride + static_cast<std::size_t>(region.left) * 4,
                    row_bytes);
    cairo_surface_mark_dirty(surface);
}

void MarkAllShown(FrameRecord& record) {
    record.shown.everything = true;
    record.shown.rects.clear();
}

}  // namespace

int CornerValues(const CanvasOp& op) {
    switch (op.kind) {
        case CanvasOpKind::Polygon:
        case CanvasOpKind::Polyline: return 2 * op.count;
        case CanvasOpKind::Discs: return 4 * op.count;
        case CanvasOpKind::Diamonds: return 2 * op.count;
        default: return 0;
    }
}

CanvasOp BlankCanvasOp(CanvasOpKind kind) {
    CanvasOp op;
    std::memset(static_cast<void*>(&op), 0, sizeof op);
    op.kind = kind;
    return op;
}

void DrawCanvasOp(Canvas& canvas, CanvasOp& op, const double* corners, const char* text, const FontBook* fonts) {
    op.pen_width = canvas.pen_width;
    op.pen_style = canvas.pen_style;
    FrameRecord* record = canvas.frames;
    if (record == nullptr || record->suspended > 0) {
        PaintCanvasOp(canvas, op, corners, text, fonts);
        return;
    }
    op.box = OpBox(canvas, op, corners);
    FrameOps* frame = &record->frames[record->drawing];
    std::size_t corner_values = static_cast<std::size_t>(CornerValues(op));
    std::size_t text_bytes = op.kind == CanvasOpKind::Text ? static_cast<std::size_t>(op.count) + 1 : 0;
    if (frame->ops.size() == kMaxOps || frame->corners.size() + corner_values > kMaxCornerValues ||
        frame->text.size() + text_bytes > kMaxTextBytes) {
        SettleCanvas(canvas);
        frame = &record->frames[record->drawing];
    }
    // A clear covers whatever the frame drew before it: that is never seen.
    if (op.kind == CanvasOpKind::Clear) {
        frame->ops.clear();
        frame->corners.clear();
        frame->text.clear();
    }
    if (fonts != nullptr) record->fonts = fonts;
    if (corner_values > 0) {
        op.first = static_cast<std::int32_t>(frame->corners.size());
        frame->corners.insert(frame->corners.end(), corners, corners + corner_values);
    } else if (text_bytes > 0) {
        op.first = static_cast<std::int32_t>(frame->text.size());
        frame->text.insert(frame->text.end(), text, text + text_bytes);
    }
    frame->ops.push_back(op);
}

void KeepCanvasFrames(Canvas& canvas, bool on) {
    if (!on) {
        if (canvas.frames == nullptr) return;
        SettleCanvas(canvas);
        if (canvas.frames->scratch_cairo != nullptr) cairo_destroy(canvas.frames->scratch_cairo);
        if (canvas.frames->scratch != nullptr) cairo_surface_destroy(canvas.frames->scratch);
        delete canvas.frames;
        canvas.frames = nullptr;
        return;
    }
    // A recording canvas keeps every figure as drawn already: it is drawn at once.
    if (canvas.frames != nullptr || canvas.surface == nullptr || canvas.pixels == nullptr) return;
    auto* record = new FrameRecord;
    for (FrameOps& frame : record->frames) {
        frame.ops.reserve(kMaxOps);
        frame.corners.reserve(kMaxCornerValues);
        frame.text.reserve(kMaxTextBytes);
    }
    record->changed.Init(canvas.width, canvas.height);
    record->shown.Init(canvas.width, canvas.height);
    MarkAllShown(*record);
    canvas.frames = record;
}

void SettleCanvas(Canvas& canvas) {
    FrameRecord* record = canvas.frames;
    if (record == nullptr) return;
    FrameOps& now = record->frames[record->drawing];
    if (now.ops.empty()) return;
    FrameOps& before = record->frames[1 - record->drawing];
    const bool from_clear = now.ops.front().kind == CanvasOpKind::Clear;

    RegionSet& changed = record->changed;
    changed.Clear();
    if (!from_clear) {
        // Painted over what is there, as drawn: it changes only where it reaches.
        for (const CanvasOp& op : now.ops) changed.Add(op.box);
    } else if (record->before_valid) {
        // A sky of new stars changes everywhere at every frame: after a few
        // such frames the comparison is made only now and then.
        ++record->frames_settled;
        if (record->whole_frames >= 3 && record->frames_settled % 16 != 0) {
            changed.everything = true;
        } else {
            Differences(canvas, before, now, changed);
            record->whole_frames = changed.Share() > kWholeShare ? record->whole_frames + 1 : 0;
        }
    } else {
        changed.everything = true;
    }
    if (changed.Share() > kWholeShare || !changed.Gather()) {
        PaintAll(canvas, *record, now);
        MarkAllShown(*record);
    } else if (!from_clear) {
        PaintAll(canvas, *record, now);
        for (const PixelRect& region : changed.rects) record->shown.Add(region);
    } else {
        for (const PixelRect& region : changed.rects) {
            PaintRegion(canvas, *record, now, region);
            record->shown.Add(region);
        }
    }
    if (!record->shown.everything) record->shown.Gather();
    record->before_valid = from_clear;
    record->drawing = 1 - record->drawing;
    FrameOps& next = record->frames[record->drawing];
    next.ops.clear();
    next.corners.clear();
    next.text.clear();
}

void SettleForReading(const Canvas& canvas) {
    if (canvas.frames != nullptr) SettleCanvas(const_cast<Canvas&>(canvas));
}

void SuspendCanvasFrames(Canvas& canvas) {
    FrameRecord* record = canvas.frames;
    if (record == nullptr) return;
    SettleCanvas(canvas);
    ++record->suspended;
    record->before_valid = false;
    MarkAllShown(*record);
}

void ResumeCanvasFrames(Canvas& canvas) {
    FrameRecord* record = canvas.frames;
    if (record == nullptr || record->suspended == 0) return;
    --record->suspended;
    record->before_valid = false;
    MarkAllShown(*record);
}

void CanvasPixelsWritten(Canvas& canvas, const PixelRect& region) {
    FrameRecord* record = canvas.frames;
    if (record == nullptr || record->suspended > 0) return;
    record->before_valid = false;
    if (record->shown.everything) return;
    record->shown.Add(Clamp(canvas, region));
    record->shown.Gather();
}

bool ChangedCanvasRegions(const Canvas& canvas, const PixelRect** rects, int* count) {
    const FrameRecord* record = canvas.frames;
    // Suspended, the pixels change without an account of where.
    if (record == nullptr || record->suspended > 0 || record->shown.everything) return false;
    *rects = record->shown.rects.data();
    *count = static_cast<int>(record->shown.rects.size());
    return true;
}

void TakeChangedCanvasRegions(Canvas& canvas) {
    FrameRecord* record = canvas.frames;
    if (record == nullptr) return;
    record->shown.Clear();
}

}  // namespace platform
