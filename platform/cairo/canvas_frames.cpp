// Kept frames: the canvas records a frame's operations as the game draws them
// and paints them at the redraw. A frame that begins by clearing the whole
// picture depends on nothing drawn before it, so where its operations equal
// the last frame's, its pixels equal the last frame's too. The picture is
// marked in cells of 8 pixels wherever an operation differing from the last
// frame's may change a pixel (old and new; for a polygon or line that only
// moved, the narrow seams its edges swept). The marked cells are repainted on
// a scratch picture in one pass over the operations, and of those only the
// cells whose pixels really differ are copied onto the canvas and handed to
// the window. A frame that changes much is painted in full, as is any frame
// the canvas cannot compare (no clear first, pixels written directly, too
// many operations).

#include "platform/cairo/canvas.h"

#include "platform/cairo/canvas_damage.h"
#include "platform/cairo/canvas_frame_record.h"
#include "platform/cairo/canvas_ops.h"
#include "platform/cairo/canvas_pixels.h"

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
// Changes are marked, repainted, compared and shown in cells of 8 pixels a side.
constexpr int kCellShift = 3;
// Past this share of the picture in changed cells a repaint of everything is
// cheaper: the cells are compared and copied piece by piece.
constexpr double kWholeShare = 0.2;
// Once frames in a row have changed too much, only every this many-th is
// compared with the one before (which is recorded for it); the others are
// painted as they are drawn.
constexpr int kCompareEvery = 16;

int Floor(double value) {
    return static_cast<int>(std::floor(std::clamp(value, -1e8, 1e8)));
}

int Ceil(double value) {
    return static_cast<int>(std::ceil(std::clamp(value, -1e8, 1e8)));
}

struct Bounds {
    double left, top, right, bottom;
};

// The box of count points (x, y pairs).
Bounds PointBounds(const double* points, int count) {
    Bounds bounds{points[0], points[1], points[0], points[1]};
    for (int i = 1; i < count; ++i) {
        bounds.left = std::min(bounds.left, points[2 * i]);
        bounds.right = std::max(bounds.right, points[2 * i]);
        bounds.top = std::min(bounds.top, points[2 * i + 1]);
        bounds.bottom = std::max(bounds.bottom, points[2 * i + 1]);
    }
    return bounds;
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
            const auto [left, top, right, bottom] = PointBounds(corners, op.count);
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
            const auto [left, top, right, bottom] = PointBounds(corners, op.count);
            return Clamp(canvas, PixelRect{Floor(left - op.a) - 2, Floor(top - op.b) - 2, Ceil(right + op.a) + 3,
                                           Ceil(bottom + op.b) + 3});
        }
        case CanvasOpKind::Text: return Clamp(canvas, op.box);
    }
    return WholeCanvas(canvas);
}



bool SameOp(const FrameOps& frame_a, const CanvasOp& a, const FrameOps& frame_b, const CanvasOp& b) {
    if (std::memcmp(&a, &b, offsetof(CanvasOp, first)) != 0) return false;
    if (CornerValues(a) > 0)
        return std::memcmp(CornersOf(frame_a, a), CornersOf(frame_b, b), sizeof(double) * CornerValues(a)) == 0;
    if (a.kind == CanvasOpKind::Text) return std::memcmp(TextOf(frame_a, a), TextOf(frame_b, b), a.count) == 0;
    return true;
}

// Discs of one call, as many as before in the same colour and pen: only
// those that moved or changed size differ, each within its own box.
void MovedDiscs(const double* before, const double* now, const CanvasOp& op, CellMarks& cells) {
    for (int i = 0; i < op.count; ++i) {
        const double* old_disc = before + 4 * i;
        const double* new_disc = now + 4 * i;
        if (std::memcmp(old_disc, new_disc, 4 * sizeof(double)) == 0) continue;
        for (const double* disc : {old_disc, new_disc})
            MarkBox(cells, PixelRect{Floor(disc[0] - disc[2]) - 2, Floor(disc[1] - disc[3]) - 2,
                                     Ceil(disc[0] + disc[2]) + 2, Ceil(disc[1] + disc[3]) + 2});
    }
}

// The cells where two frames' pictures may differ. Frames of the same length
// are compared operation by operation; otherwise whatever lies between their
// common beginning and their common end differs.
void Differences(const FrameOps& before, const FrameOps& now, CellMarks& cells) {
    const std::size_t old_count = before.ops.size(), new_count = now.ops.size();
    if (old_count == new_count) {
        for (std::size_t i = 0; i < new_count; ++i) {
            // Once past the share where everything is painted, looking further is waste.
            if ((i & 63) == 0 && MarkedShare(cells) > kWholeShare) return;
            const CanvasOp& old_op = before.ops[i];
            const CanvasOp& new_op = now.ops[i];
            if (SameOp(before, old_op, now, new_op)) continue;
            const bool same_paint = std::memcmp(&old_op, &new_op, offsetof(CanvasOp, first)) == 0;
            // (A patterned pen's dashes run on round the whole outline: one
            // moved corner shifts them along every later edge.)
            if (new_op.kind == CanvasOpKind::Polygon && new_op.pen_style == 0 && same_paint &&
                MarkMovedPolygon(cells, new_op, CornersOf(before, old_op), CornersOf(now, new_op)))
                continue;
            if (new_op.kind == CanvasOpKind::Discs && same_paint) {
                MovedDiscs(CornersOf(before, old_op), CornersOf(now, new_op), new_op, cells);
                continue;
            }
            if (new_op.kind == CanvasOpKind::Line && old_op.kind == CanvasOpKind::Line) {
                MarkMovedLine(cells, old_op, new_op);
                continue;
            }
            MarkBox(cells, old_op.box);
            MarkBox(cells, new_op.box);
        }
        return;
    }
    std::size_t head = 0;
    while (head < old_count && head < new_count && SameOp(before, before.ops[head], now, now.ops[head])) ++head;
    std::size_t tail = 0;
    while (tail < old_count - head && tail < new_count - head &&
           SameOp(before, before.ops[old_count - 1 - tail], now, now.ops[new_count - 1 - tail]))
        ++tail;
    for (std::size_t i = head; i < old_count - tail; ++i) MarkBox(cells, before.ops[i].box);
    for (std::size_t i = head; i < new_count - tail; ++i) MarkBox(cells, now.ops[i].box);
}

void PaintAll(Canvas& canvas, const FrameRecord& record, const FrameOps& frame) {
    for (const CanvasOp& op : frame.ops)
        PaintCanvasOp(canvas, op, CornersOf(frame, op), TextOf(frame, op), record.fonts);
}

void MarkAllShown(FrameRecord& record) {
    ClearCellMarks(record.shown);
    record.shown.everything = true;
}

// A sky of new stars changes everywhere at every frame: after a few such
// frames, a frame that will not be compared is painted as it is drawn, which
// costs what painting without a record does. The one before a comparison is
// recorded, for the comparison to have it.
void BeginFrame(FrameRecord& record) {
    ++record.frames_begun;
    const int phase = record.frames_begun % kCompareEvery;
    record.streaming = record.whole_frames >= 3 && phase != 0 && phase != kCompareEvery - 1;
    if (!record.streaming) return;
    record.frames[record.drawing].ops.clear();
    record.frames[record.drawing].corners.clear();
    record.frames[record.drawing].text.clear();
    record.before_valid = false;
    MarkAllShown(record);
}

}  // namespace

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

const double* CornersOf(const FrameOps& frame, const CanvasOp& op) {
    return CornerValues(op) > 0 ? frame.corners.data() + op.first : nullptr;
}

const char* TextOf(const FrameOps& frame, const CanvasOp& op) {
    return op.kind == CanvasOpKind::Text ? frame.text.data() + op.first : nullptr;
}

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
    if (op.kind == CanvasOpKind::Clear) BeginFrame(*record);
    if (record->streaming) {
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
        if (canvas.frames->scratch_pixels != nullptr) UnmapPixels(canvas.frames->scratch_pixels, PixelBytes(canvas.stride, canvas.height));
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
    InitCellMarks(record->changed, kCellShift, canvas.width, canvas.height);
    record->row_first.assign(static_cast<std::size_t>(record->changed.rows), 0);
    record->row_last.assign(static_cast<std::size_t>(record->changed.rows), 0);
    record->differences.assign(static_cast<std::size_t>(record->changed.columns), 0);
    record->row_cells.assign(static_cast<std::size_t>(record->changed.columns), 0);
    record->run_rows.assign(static_cast<std::size_t>(record->changed.rows) + 1, 0);
    // At most every other cell of a row begins a run.
    record->runs.assign(static_cast<std::size_t>(record->changed.rows) * ((record->changed.columns + 1) / 2),
                        CellRun{});
    InitCellMarks(record->shown, kCellShift, canvas.width, canvas.height);
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

    CellMarks& changed = record->changed;
    ClearCellMarks(changed);
    bool compared = false;
    if (!from_clear) {
        // Painted over what is there, as drawn: it changes only where it reaches.
        for (const CanvasOp& op : now.ops) MarkBox(changed, op.box);
    } else if (record->before_valid) {
        // A sky of new stars changes everywhere at every frame: after a few
        // such frames the comparison is made only now and then.
        if (record->whole_frames >= 3 && record->frames_begun % kCompareEvery != 0) {
            changed.everything = true;
        } else {
            Differences(before, now, changed);
            compared = true;
        }
    } else {
        changed.everything = true;
    }
    bool whole = changed.everything || MarkedShare(changed) > kWholeShare;
    if (compared) record->whole_frames = whole ? record->whole_frames + 1 : 0;
    record->repainted_pixels = 0;
    if (whole) {
        PaintAll(canvas, *record, now);
        MarkAllShown(*record);
        record->repainted_pixels = static_cast<long long>(canvas.width) * canvas.height;
    } else if (!from_clear) {
        PaintAll(canvas, *record, now);
        for (std::int32_t cell : changed.marked) MarkCell(record->shown, cell);
        record->repainted_pixels = static_cast<long long>(changed.marked.size()) << (2 * changed.shift);
    } else if (!changed.marked.empty()) {
        record->repainted_pixels = PaintChangedCells(canvas, *record, now);
    }
    if (!record->shown.everything) GatherCells(record->shown, record->shown_limit);
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
    MarkBox(record->shown, region);
    GatherCells(record->shown, record->shown_limit);
}

void SetChangedRegionLimit(Canvas& canvas, int limit) {
    if (canvas.frames != nullptr) canvas.frames->shown_limit = std::clamp(limit, 1, kMaxChangedRegions);
}

bool ChangedCanvasRegions(const Canvas& canvas, const PixelRect** rects, int* count) {
    const FrameRecord* record = canvas.frames;
    // Suspended, the pixels change without an account of where.
    if (record == nullptr || record->suspended > 0 || record->shown.everything) return false;
    *rects = record->shown.rects.data();
    *count = static_cast<int>(record->shown.rects.size());
    return true;
}

void CopyChangedCanvasCells(const Canvas& canvas, void* destination, int destination_pitch) {
    SettleForReading(canvas);
    const FrameRecord* record = canvas.frames;
    if (record == nullptr || canvas.pixels == nullptr) return;
    cairo_surface_flush(canvas.surface);
    const CellMarks& cells = record->shown;
    const int cell = 1 << cells.shift;
    auto* target = static_cast<unsigned char*>(destination);
    for (std::int32_t index : cells.marked) {
        const int top = (index / cells.columns) << cells.shift, left = (index % cells.columns) << cells.shift;
        const int bottom = std::min(top + cell, canvas.height);
        const std::size_t row_bytes = static_cast<std::size_t>(std::min(left + cell, canvas.width) - left) * 4;
        const auto offset = static_cast<std::size_t>(left) * 4;
        for (int row = top; row < bottom; ++row)
            CopyCellRow(target + static_cast<std::size_t>(row) * destination_pitch + offset,
                        canvas.pixels + static_cast<std::size_t>(row) * canvas.stride + offset, row_bytes);
    }
}

long long RepaintedCanvasPixels(const Canvas& canvas) {
    return canvas.frames != nullptr ? canvas.frames->repainted_pixels : 0;
}

void TakeChangedCanvasRegions(Canvas& canvas) {
    FrameRecord* record = canvas.frames;
    if (record == nullptr) return;
    ClearCellMarks(record->shown);
}

}  // namespace platform
