// Repainting the changed cells of a kept frame. Every operation that reaches
// a changed cell is painted again, in order, on a scratch picture, clipped to
// the box around the changed cells it reaches; the cells come out as a full
// repaint makes them. Of those, only the cells whose pixels really differ
// from the canvas's are copied onto it and handed to the window.

#include "platform/cairo/canvas_frame_record.h"
#include "platform/cairo/canvas_paths.h"
#include "platform/cairo/canvas_pixels.h"

#include <cairo.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Cairo fills a clipped path as the path cut at the clip's edge, which can
// turn a pixel next to that edge: regions are painted with this margin on a
// scratch picture and only their inside is copied onto the canvas.
constexpr int kRepaintMargin = 4;

// For every row of cells, the first and last column marked (first > last: none).
void FindMarkedSpans(FrameRecord& record) {
    const CellMarks& cells = record.changed;
    std::fill(record.row_first.begin(), record.row_first.end(), cells.columns);
    std::fill(record.row_last.begin(), record.row_last.end(), -1);
    for (std::int32_t cell : cells.marked) {
        const auto row = static_cast<std::size_t>(cell / cells.columns);
        const int column = cell % cells.columns;
        record.row_first[row] = std::min(record.row_first[row], column);
        record.row_last[row] = std::max(record.row_last[row], column);
    }
}

// The runs of neighbouring changed cells along every row of cells, for the
// painters to keep inside (after FindMarkedSpans).
void FindMarkedRuns(FrameRecord& record) {
    const CellMarks& cells = record.changed;
    const int cell = 1 << cells.shift;
    CellRun* runs = record.runs.data();
    int count = 0;
    for (int cell_row = 0; cell_row < cells.rows; ++cell_row) {
        record.run_rows[static_cast<std::size_t>(cell_row)] = count;
        const int last = record.row_last[static_cast<std::size_t>(cell_row)];
        const std::uint8_t* marks = cells.marks.data() + static_cast<std::size_t>(cell_row) * cells.columns;
        for (int column = record.row_first[static_cast<std::size_t>(cell_row)]; column <= last; ++column) {
            if (marks[column] == 0) continue;
            int end = column + 1;
            while (end <= last && marks[end] != 0) ++end;
            runs[count++] = CellRun{column * cell, std::min(end * cell, cells.width)};
            column = end;
        }
    }
    record.run_rows[static_cast<std::size_t>(cells.rows)] = count;
    record.marked_runs = MarkedCellRuns{cells.shift, record.run_rows.data(), runs};
}

// The box around the changed cells an operation's box reaches (a few more
// when the marks of a row lie on both sides of it); empty when none.
PixelRect ChangedWithin(const FrameRecord& record, const PixelRect& box) {
    const CellMarks& cells = record.changed;
    const int first_column = box.left >> cells.shift, last_column = (box.right - 1) >> cells.shift;
    const int last_row = (box.bottom - 1) >> cells.shift;
    PixelRect found{cells.columns, cells.rows, -1, -1};
    for (int row = box.top >> cells.shift; row <= last_row; ++row) {
        const int from = std::max(first_column, record.row_first[static_cast<std::size_t>(row)]);
        const int to = std::min(last_column, record.row_last[static_cast<std::size_t>(row)]);
        if (from > to) continue;
        found.left = std::min(found.left, from);
        found.right = std::max(found.right, to);
        found.top = std::min(found.top, row);
        found.bottom = row;
    }
    if (found.right < 0) return PixelRect{};
    return PixelRect{found.left << cells.shift, found.top << cells.shift, (found.right + 1) << cells.shift,
                     (found.bottom + 1) << cells.shift};
}

// The columns marked in one row of cells, listed once for the 8 pixel rows
// that visit them (after FindMarkedRuns); returns how many.
int ListRowCells(FrameRecord& record, int cell_row) {
    const int shift = record.changed.shift;
    const CellRun* run = record.runs.data() + record.run_rows[static_cast<std::size_t>(cell_row)];
    const CellRun* end = record.runs.data() + record.run_rows[static_cast<std::size_t>(cell_row) + 1];
    int* listed = record.row_cells.data();
    int count = 0;
    for (; run < end; ++run)
        for (int column = run->left >> shift; column << shift < run->right; ++column) listed[count++] = column;
    return count;
}

}  // namespace

// A whole cell's row of pixels is copied inline; only a cut cell at the
// picture's right side needs the general copy.
void CopyCellRow(unsigned char* to, const unsigned char* from, std::size_t bytes) {
    if (bytes == 32)
        std::memcpy(to, from, 32);
    else
        std::memcpy(to, from, bytes);
}

namespace {

// -- The changed cells on the scratch picture --
// They are visited row of cells by row of cells, and within one pixel row by
// pixel row, left to right: scattered over the picture, their cost is the
// memory they touch more than the work on it.

// Copies the changed cells whose pixels differ on the scratch picture from
// the canvas's onto it, and marks them to be shown.
void CopyDifferingCells(Canvas& canvas, FrameRecord& record) {
    const CellMarks& cells = record.changed;
    const unsigned char* scratch = cairo_image_surface_get_data(record.scratch);
    const int scratch_stride = cairo_image_surface_get_stride(record.scratch);
    const int cell = 1 << cells.shift;
    std::vector<std::uint64_t>& differences = record.differences;
    for (int cell_row = 0; cell_row < cells.rows; ++cell_row) {
        if (record.row_first[static_cast<std::size_t>(cell_row)] > record.row_last[static_cast<std::size_t>(cell_row)])
            continue;
        const int listed = ListRowCells(record, cell_row);
        const int* columns = record.row_cells.data();
        const int top = cell_row << cells.shift, bottom = std::min(top + cell, canvas.height);
        for (int i = 0; i < listed; ++i) differences[static_cast<std::size_t>(i)] = 0;
        for (int row = top; row < bottom; ++row) {
            const unsigned char* canvas_row = canvas.pixels + static_cast<std::size_t>(row) * canvas.stride;
            const unsigned char* scratch_row = scratch + static_cast<std::size_t>(row) * scratch_stride;
            for (int i = 0; i < listed; ++i) {
                const int column = columns[i];
                const int left = column << cells.shift, right = std::min(left + cell, canvas.width);
                const unsigned char* a = canvas_row + static_cast<std::size_t>(left) * 4;
                const unsigned char* b = scratch_row + static_cast<std::size_t>(left) * 4;
                std::uint64_t difference = 0;
                // The canvas's pixels were last touched a frame ago: ask for the
                // cell's next row while this one is compared.
                __builtin_prefetch(a + canvas.stride);
                if (right - left == 8) {
                    for (int word = 0; word < 4; ++word) {
                        std::uint64_t a_word = 0, b_word = 0;
                        std::memcpy(&a_word, a + 8 * word, 8);
                        std::memcpy(&b_word, b + 8 * word, 8);
                        difference |= a_word ^ b_word;
                    }
                } else {
                    difference = std::memcmp(a, b, static_cast<std::size_t>(right - left) * 4) != 0 ? 1 : 0;
                }
                differences[static_cast<std::size_t>(i)] |= difference;
            }
        }
        for (int i = 0; i < listed; ++i) {
            if (differences[static_cast<std::size_t>(i)] == 0) continue;
            const int column = columns[i];
            const int left = column << cells.shift;
            const std::size_t row_bytes = static_cast<std::size_t>(std::min(left + cell, canvas.width) - left) * 4;
            const auto offset = static_cast<std::size_t>(left) * 4;
            for (int row = top; row < bottom; ++row)
                CopyCellRow(canvas.pixels + static_cast<std::size_t>(row) * canvas.stride + offset,
                            scratch + static_cast<std::size_t>(row) * scratch_stride + offset, row_bytes);
            MarkCell(record.shown, cell_row * cells.columns + column);
        }
    }
}

// The clear on the scratch picture, only where the changed cells are; the
// colour is set as Cairo sets an opaque one. Returns the pixels set.
long long ClearCells(FrameRecord& record, Color color) {
    const CellMarks& cells = record.changed;
    unsigned char* pixels = cairo_image_surface_get_data(record.scratch);
    const int stride = cairo_image_surface_get_stride(record.scratch);
    const std::uint32_t pixel = OpaquePixel(color);
    const int cell = 1 << cells.shift;
    cairo_surface_flush(record.scratch);
    long long set = 0;
    for (int cell_row = 0; cell_row < cells.rows; ++cell_row) {
        const CellRun* first = record.runs.data() + record.run_rows[static_cast<std::size_t>(cell_row)];
        const CellRun* end = record.runs.data() + record.run_rows[static_cast<std::size_t>(cell_row) + 1];
        if (first == end) continue;
        const int top = cell_row << cells.shift, bottom = std::min(top + cell, cells.height);
        for (int row = top; row < bottom; ++row) {
            auto* line = reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::size_t>(row) * stride);
            for (const CellRun* run = first; run < end; ++run) SetPixelRun(line + run->left, line + run->right, pixel);
        }
        for (const CellRun* run = first; run < end; ++run)
            set += static_cast<long long>(run->right - run->left) * (bottom - top);
    }
    cairo_surface_mark_dirty(record.scratch);
    return set;
}

}  // namespace

void ClipCairoToRepaint(Canvas& canvas) {
    if (canvas.marked == nullptr || canvas.frames == nullptr) return;
    PixelRect& clipped = canvas.frames->scratch_clip;
    const PixelRect& painted = canvas.clip;
    if (std::memcmp(&painted, &clipped, sizeof painted) == 0) return;
    cairo_reset_clip(canvas.cairo);
    cairo_rectangle(canvas.cairo, painted.left, painted.top, painted.right - painted.left,
                    painted.bottom - painted.top);
    cairo_clip(canvas.cairo);
    clipped = painted;
}

// Paints the changed cells in one pass over the operations, on the scratch
// picture: each operation clipped to the box around the changed cells it
// reaches, grown by the margin. Every operation that reaches a changed cell
// paints all of it, in order, so the cells come out as a full repaint makes
// them; what lands between them is never copied. Then the cells that differ
// go onto the canvas. Returns the pixels painted.
long long PaintChangedCells(Canvas& canvas, FrameRecord& record, const FrameOps& frame) {
    if (record.scratch == nullptr) {
        record.scratch_pixels = MapPixels(PixelBytes(canvas.stride, canvas.height));
        record.scratch = record.scratch_pixels != nullptr
                             ? cairo_image_surface_create_for_data(record.scratch_pixels, CAIRO_FORMAT_RGB24,
                                                                   canvas.width, canvas.height, canvas.stride)
                             : cairo_image_surface_create(CAIRO_FORMAT_RGB24, canvas.width, canvas.height);
        record.scratch_cairo = cairo_create(record.scratch);
        cairo_set_antialias(record.scratch_cairo, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_cap(record.scratch_cairo, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(record.scratch_cairo, CAIRO_LINE_JOIN_ROUND);
    }
    FindMarkedSpans(record);
    FindMarkedRuns(record);
    cairo_t* cairo = record.scratch_cairo;
    // The painter works on the canvas's fields: lend it the scratch picture.
    cairo_surface_t* surface = canvas.surface;
    cairo_t* canvas_cairo = canvas.cairo;
    unsigned char* pixels = canvas.pixels;
    canvas.surface = record.scratch;
    canvas.cairo = cairo;
    canvas.pixels = cairo_image_surface_get_data(record.scratch);
    canvas.marked = &record.marked_runs;
    long long painted_pixels = 0;
    cairo_reset_clip(cairo);
    record.scratch_clip = PixelRect{};
    for (const CanvasOp& op : frame.ops) {
        if (Empty(op.box)) continue;
        const PixelRect changed = ChangedWithin(record, op.box);
        // (The clear sets the cells alone: between them it would only cost.)
        if (Empty(changed)) continue;
        if (op.kind == CanvasOpKind::Clear) {
            painted_pixels += ClearCells(record, op.outline);
            continue;
        }
        canvas.clip = Clamp(canvas, PixelRect{changed.left - kRepaintMargin, changed.top - kRepaintMargin,
                                              changed.right + kRepaintMargin, changed.bottom + kRepaintMargin});
        PaintCanvasOp(canvas, op, CornersOf(frame, op), TextOf(frame, op), record.fonts);
    }
    canvas.surface = surface;
    canvas.cairo = canvas_cairo;
    canvas.pixels = pixels;
    canvas.clip = WholeCanvas(canvas);
    canvas.marked = nullptr;

    cairo_surface_flush(record.scratch);
    cairo_surface_flush(surface);
    CopyDifferingCells(canvas, record);
    cairo_surface_mark_dirty(surface);
    return painted_pixels;
}

}  // namespace platform
