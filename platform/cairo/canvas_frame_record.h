#pragma once
// The record a canvas keeps of its frames: the operations of the frame being
// drawn and of the one painted before, where they differ, and the scratch
// picture the changed cells are repainted on. canvas_frames.cpp records and
// compares; canvas_repaint.cpp repaints the changed cells. Internal to platform/.

#include "platform/cairo/canvas.h"
#include "platform/cairo/canvas_damage.h"
#include "platform/cairo/canvas_ops.h"

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace platform {

// Regions handed to the window at most, unless it asks for another limit:
// SDL's window surface sends each rectangle as a request of its own.
constexpr int kMaxShownRegions = 256;

// One frame's operations; corners and texts live in their own stores.
struct FrameOps {
    std::vector<CanvasOp> ops;
    std::vector<double> corners;
    std::vector<char> text;
};

struct FrameRecord {
    FrameOps frames[2];
    int drawing = 0;                // the frame being recorded; the other is the one painted before
    bool before_valid = false;      // the picture is exactly what the other frame's operations paint
    int whole_frames = 0;           // frames in a row that changed too much to paint in regions
    int frames_begun = 0;           // frames that began with a clear
    bool streaming = false;         // this frame is painted as drawn, not recorded
    long long repainted_pixels = 0; // by the last frame settled
    int suspended = 0;              // > 0: operations are painted at once
    const FontBook* fonts = nullptr;
    CellMarks changed;              // where the frame being settled may differ from the one before
    std::vector<int> row_first;     // of the changed cells: per row of cells, the first column marked
    std::vector<int> row_last;      // and the last
    std::vector<std::uint64_t> differences;  // scratch: per column of cells, whether its pixels differ
    std::vector<int> row_cells;     // scratch: the columns marked in one row of cells, in order
    std::vector<int> run_rows;      // of the changed cells: per row of cells, its first run in `runs`
    std::vector<CellRun> runs;      // and the runs of neighbouring marked cells, in pixels
    MarkedCellRuns marked_runs;     // the canvas's view of them while the changed cells are painted
    CellMarks shown;                // cells changed since the window last took the picture
    int shown_limit = kMaxShownRegions;  // regions they are gathered into at most
    // The scratch picture changed cells are painted on, the canvas's size; made at first use.
    cairo_surface_t* scratch = nullptr;
    cairo_t* scratch_cairo = nullptr;
    PixelRect scratch_clip;         // the clip last set on scratch_cairo; empty: none
    unsigned char* scratch_pixels = nullptr;  // mapped here; null when Cairo made them
};

PixelRect WholeCanvas(const Canvas& canvas);
PixelRect Clamp(const Canvas& canvas, PixelRect box);  // the part inside the canvas; empty when none
inline bool Empty(const PixelRect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}
const double* CornersOf(const FrameOps& frame, const CanvasOp& op);
const char* TextOf(const FrameOps& frame, const CanvasOp& op);

// One row of a cell from one picture to another.
void CopyCellRow(unsigned char* to, const unsigned char* from, std::size_t bytes);

// Repaints the cells marked in record.changed from the frame's operations on
// the scratch picture, copies those whose pixels differ onto the canvas and
// marks them to be shown. Returns the pixels painted.
long long PaintChangedCells(Canvas& canvas, FrameRecord& record, const FrameOps& frame);

}  // namespace platform
